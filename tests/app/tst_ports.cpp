// The port list and Tools > Find L4686SDK over pseudo-terminals mapped in [Ports]: what the
// list shows of each entry and when it looks again; Find over a
// silent entry, one that answers too late (the emulator), one that answers, and paths where
// nothing is.

#include "Emulator.h"
#include "PtyPeer.h"
#include "TestWindow.h"

#include "FrmMain.h"
#include "InterfaceLink.h"
#include "PortEntryDelegate.h"
#include "TerminalView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QString detail(const TestWindow &w, int port)
{
    return w.ccom()->itemData(port - 1, PortEntryDelegate::kDetailRole).toString();
}
} // namespace

class TstPorts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        peer.answerProbe();
        QVERIFY(w.connectNow());
        w.settings.writeIni("[Option]\nCom=2\n[Ports]\nCOM2=/nonexistent/other\n");
        w.ccom()->showPopup();
        QCOMPARE(detail(w, 2), peer.devicePath());
        w.ccom()->hidePopup();
    }

    void found()
    {
        if (!Emulator::built())
            QSKIP("built without the emulator");
        PtyPeer silent, answering;
        answering.answerProbe();
        const Emulator emulator({u"--delay"_s, u"300"_s});
        const QString late = emulator.device;
        QVERIFY(!late.isEmpty());
        TestWindow w(
            TestWindow::portsIni({{}, silent.devicePath(), late, answering.devicePath()}, "en", 7));
        QAction *find = w.action(u"mFind"_s);
        QVERIFY(find->isEnabled());

        find->trigger();
        QCOMPARE(w.panel(1), u"Searching for L4686SDK..."_s);
        QVERIFY(!find->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(1), u"L4686SDK found on COM 4"_s, kTimeout);
        QCOMPARE(silent.received(), PtyPeer::kProbe);
        QCOMPARE(answering.received(), PtyPeer::kProbe);
        QCOMPARE(w.ccom()->currentIndex(), 3);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"4"_s);
        QCOMPARE(w.transcript(), QString());
        QVERIFY(find->isEnabled() && w.showsClosed());
        QCOMPARE(w.link()->rxBuffer(), QString());
        QVERIFY(w.panel(2).endsWith(u"00.00.00"_s));
        // The port found is closed again: another program may open it.
        QSerialPort other(answering.devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
        other.close();

        // Connect opens the entry found; meanwhile there is nothing to find.
        w.trigger(u"1"_s);
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(1), u"Connection established"_s, kTimeout);
        QCOMPARE(answering.received(), PtyPeer::kProbe + PtyPeer::kProbe);
        QVERIFY(!find->isEnabled());
        w.trigger(u"2"_s);
        QVERIFY(find->isEnabled());
    }

    // Nine silent entries, in Italian, one of them held by another program: the choice
    // stays, and one box names the port that could not be opened. The search is timed.
    void notFound()
    {
        std::array<PtyPeer, 9> peers;
        QStringList devices;
        for (const PtyPeer &peer : peers)
            devices << peer.devicePath();
        TestWindow w(TestWindow::portsIni(devices, "it", 7));
        QSerialPort holder(peers[4].devicePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        ModalAnswerer boxes;
        QElapsedTimer clock;
        clock.start();
        w.trigger(u"mFind"_s);
        QCOMPARE(w.panel(1), u"Ricerca L4686SDK in corso..."_s);
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(1), u"L4686SDK non trovata su nessuna porta"_s, kTimeout);
        qInfo("a search of nine entries took %lld ms", clock.elapsed());
        QTRY_COMPARE_WITH_TIMEOUT(boxes.met.size(), 1, kTimeout);
        const QString text = boxes.met[0].section(u'|', 2);
        QVERIFY2(text.startsWith(peers[4].devicePath() + u": 2 - "_s), qPrintable(text));
        for (int n = 0; n < 9; ++n)
            QCOMPARE(peers[n].received(), n == 4 ? QByteArray() : PtyPeer::kProbe);
        QCOMPARE(w.ccom()->currentIndex(), 6);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"7"_s);
        QVERIFY(w.action(u"mFind"_s)->isEnabled());
    }
};

QTEST_MAIN(TstPorts)
#include "tst_ports.moc"
