// What the port list shows of each entry, when it looks again, and the mouse wheel over it.

#include "PtyPeer.h"
#include "TestWindow.h"

#include "FrmMain.h"
#include "PortEntryDelegate.h"
#include "TerminalView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpontaneKeyEvent>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTimeout = 5000; // never reached when all is well

QString detail(const TestWindow &w, int port)
{
    return w.ccom()->itemData(port - 1, PortEntryDelegate::kDetailRole).toString();
}

// A turn of the wheel over the list's edit field, as the window system delivers it.
void turnWheel(const TestWindow &w)
{
    QLineEdit *edit = w.ccom()->lineEdit();
    const QPointF at = edit->rect().center();
    QWheelEvent wheel(at, edit->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    // As QTest delivers mouse events: what sendEvent delivers is never spontaneous.
    qApp->notify(edit, &wheel);
}
} // namespace

class TstPortList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"Telvo4686Sdk"_s); }

    void entries()
    {
        PtyPeer peer, later;
        const QByteArray tooLong(4097, 'x');
        TestWindow w("[Option]\nCom=2\n[Ports]\nCOM2=" + peer.devicePath().toUtf8() +
                     "\nCOM3=" + tooLong + "\nCOM4=/nonexistent/tty\n");
        QCOMPARE(detail(w, 2), peer.devicePath());
        QCOMPARE(detail(w, 4), u"/nonexistent/tty \u00b7 non presente"_s);
        const QString tip = w.ccom()->itemData(2, Qt::ToolTipRole).toString();
        QVERIFY2(tip.size() < 300 && tip.startsWith(u"xxx"_s), qPrintable(tip.left(400)));
        w.trigger(u"mEng"_s);
        QCOMPARE(detail(w, 4), u"/nonexistent/tty \u00b7 not present"_s);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(w.ccom()->itemText(i), u"COM %1"_s.arg(i + 1));
        QCOMPARE(w.ccom()->currentText(), u"COM 2"_s);
        QCOMPARE(w.ccom()->toolTip(), peer.devicePath());

        // The next opening shows what changed meanwhile, the program's own choice kept.
        const QByteArray changed =
            w.settings.readIni().replace("/nonexistent/tty", later.devicePath().toUtf8());
        w.settings.writeIni(changed);
        w.ccom()->showPopup();
        QTRY_VERIFY(w.ccom()->view()->isVisible());
        QCOMPARE(detail(w, 4), later.devicePath());
        w.ccom()->hidePopup();
        QCOMPARE(w.settings.readIni(), changed);

        // Never while connected: the connection's entry stays what it was.
        peer.setAnswer("*#13**15##", "*#*1##");
        w.trigger(u"1"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!w.ccom()->isEnabled(), kTimeout);
        w.settings.writeIni("[Option]\nCom=2\n[Ports]\nCOM2=/nonexistent/other\n");
        w.ccom()->showPopup();
        QCOMPARE(detail(w, 2), peer.devicePath());
        w.ccom()->hidePopup();
    }

    // The wheel over the list changes the port only while the list has the focus.
    void wheel()
    {
        TestWindow w("[Option]\nCom=5\n"_ba);
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        w.trx()->setFocus();
        QTRY_VERIFY(w.trx()->hasFocus());
        turnWheel(w);
        QCOMPARE(w.ccom()->currentIndex(), 4);
        QCOMPARE(w.settings.readIni(), "[Option]\nCom=5\n"_ba);
        QVERIFY(w.trx()->hasFocus());

        w.ccom()->setFocus();
        QTRY_VERIFY(w.ccom()->hasFocus());
        turnWheel(w);
        QCOMPARE(w.ccom()->currentIndex(), 5);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"6"_s);
    }
};

QTEST_MAIN(TstPortList)
#include "tst_portlist.moc"
