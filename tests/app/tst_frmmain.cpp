// The main window driven as its user drives it: start-up, port choice by keys and wheel,
// languages (with what a screen reader is told), the keyboard and mouse habits of the
// platform, pictures sharp at any scale and the commands that need no adapter.

#include "FrmHelp.h"
#include "TestWindow.h"
#include "WindowLanguage.h"

#include "FrmMain.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstFrmMain : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;

public Q_SLOTS:
    // Stands in for the browser.
    void openUrl(const QUrl &url) { m_opened << url; }

private Q_SLOTS:
    void firstStart()
    {
        TestWindow w;
        FrmMain &window = w.window();
        QCOMPARE(w.ccom()->currentIndex(), 2);
        QCOMPARE(w.settings.readIni(), "[Option]\nCom=3\n"_ba);
        verifyLanguage(w, true);
        QVERIFY(w.showsClosed() && w.panel(1).isEmpty());

        // A fixed size, no buttons to change it, the status bar at the very bottom.
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.size(), QSize(525, 504 + window.menuBar()->height()));
        QCOMPARE(window.statusBar()->geometry().bottom(), window.height() - 1);
        QVERIFY(!(window.windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        QCOMPARE(w.ccom()->count(), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(w.ccom()->itemText(i), u"COM %1"_s.arg(i + 1));
            QCOMPARE(w.ccom()->itemData(i, Qt::ToolTipRole).toString(), u"/dev/ttyS%1"_s.arg(i));
        }
        QCOMPARE(w.ccom()->toolTip(), u"/dev/ttyS2"_s);
        const QList<QAction *> buttons = window.findChild<QToolBar *>()->actions();
        for (int i = 1; i <= 9; ++i)
            QCOMPARE(buttons[i - 1]->isSeparator(), i == 3 || i == 5 || i == 7);

        // A right click past the menus brings up no menu of toolbars.
        QMenuBar *bar = window.menuBar();
        const QPoint pos(bar->width() - 100, bar->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, bar->mapToGlobal(pos));
        QApplication::sendEvent(bar, &event);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    // F10 opens the first menu wherever the focus is; the entries have no shortcuts.
    void f10OpensTheMenuBar_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("terminal") << u"Trx"_s;
        QTest::newRow("port list") << u"Ccom"_s;
    }
    void f10OpensTheMenuBar()
    {
        QFETCH(QString, focus);
        TestWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        QWidget *widget = w.window().findChild<QWidget *>(focus);
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
        QTest::keyClick(widget, Qt::Key_F10);
        QMenu *file = w.action(u"mFile"_s)->menu();
        QTRY_COMPARE(QApplication::activePopupWidget(), file);
        QTest::keyClick(file, Qt::Key_Escape);
        for (QAction *action : w.window().findChildren<QAction *>(QRegularExpression(u"^m"_s)))
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    // Each picture is drawn once per device pixel and never scaled afterwards: tst_sharpart
    // runs this at 200 %.
    void picturesHaveOneDotPerDevicePixel()
    {
        TestWindow w;
        const qreal ratio = w.window().devicePixelRatioF();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble());
        const QSize iconSize = w.window().findChild<QToolBar *>()->iconSize();
        for (const char *button : {"1", "2", "4", "6", "8", "9"}) {
            const QPixmap picture = w.action(QLatin1String(button))->icon().pixmap(iconSize, ratio);
            QCOMPARE(picture.size(), iconSize * ratio);
            QCOMPARE(picture.devicePixelRatio(), ratio);
        }
        QCOMPARE(w.window().windowIcon().pixmap(QSize(48, 48), ratio).size(),
                 QSize(48, 48) * ratio);
        FrmHelp *help = FrmHelp::showHelp(u"it"_s);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->Ipaypal()->pixmap().size(), QSize(32, 32) * ratio);
        QCOMPARE(help->Ipaypal()->pixmap().devicePixelRatio(), ratio);
        help->close();
    }

    void switchLanguageKeepsTheRest()
    {
        TestWindow w("[Option]\nlanguage=fr\n"_ba);
        w.trx()->model()->append(u"*#1##\r\n"_s);
        // Each twice: the second click picks the language already shown.
        for (const char *how : {"mIta", "mIta", "mEng", "mEng", "8", "8", "9", "9"}) {
            const QString item = QLatin1String(how);
            w.trigger(item);
            const bool italian = item == "mIta"_L1 || item == "8"_L1;
            verifyLanguage(w, italian);
            QVERIFY2(!QTest::currentTestFailed(), how);
            QCOMPARE(w.settings.value(u"Option/language"_s), italian ? u"it"_s : u"en"_s);
        }
        QVERIFY(w.showsClosed());
        QCOMPARE(w.transcript(), u"*#1##\r\n"_s);
        QCOMPARE(w.ccom()->currentIndex(), 2);
    }

    void portListTypingClearExit()
    {
        TestWindow w("[Option]\nCom=7\n"_ba);
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        QComboBox *ccom = w.ccom();

        // An entry's text typed into the list, confirmed, then left: no port is chosen.
        ccom->lineEdit()->setFocus();
        QTRY_VERIFY(ccom->lineEdit()->hasFocus());
        ccom->lineEdit()->selectAll();
        QTest::keyClicks(ccom->lineEdit(), u"COM 2"_s);
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Return);
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Enter);
        w.trx()->setFocus();
        QTRY_VERIFY(!ccom->lineEdit()->hasFocus());
        QCOMPARE(ccom->currentIndex(), 6);
        QCOMPARE(w.settings.readIni(), "[Option]\nCom=7\n"_ba);
        QCOMPARE(ccom->count(), 9);

        // A pick is stored at once, by key in the edit field or in the open list.
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Up);
        QCOMPARE(ccom->currentIndex(), 5);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"6"_s);
        QCOMPARE(ccom->toolTip(), u"/dev/ttyS5"_s);
        ccom->showPopup();
        QTRY_VERIFY(ccom->view()->isVisible());
        QTest::keyClick(ccom->view(), Qt::Key_Down);
        QTest::keyClick(ccom->view(), Qt::Key_Down);
        QTest::keyClick(ccom->view(), Qt::Key_Return);
        QTRY_VERIFY(!ccom->view()->isVisible());
        QCOMPARE(ccom->currentIndex(), 7);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"8"_s);

        // The wheel over the list changes the port only while the list has the focus.
        w.trx()->setFocus();
        QTRY_VERIFY(w.trx()->hasFocus());
        w.turnWheel();
        QVERIFY(ccom->currentIndex() == 7 && w.trx()->hasFocus());
        ccom->setFocus();
        QTRY_VERIFY(ccom->hasFocus());
        w.turnWheel();
        QCOMPARE(ccom->currentIndex(), 8);
        QCOMPARE(w.settings.value(u"Option/Com"_s), u"9"_s);

        // Never connected: no key reaches the transcript, frame keys included.
        QTest::keyClicks(w.trx(), u"*#1##"_s);
        QCOMPARE(w.transcript(), QString());

        // Disconnect while closed only shows the pair as the link stands.
        w.action(u"1"_s)->setChecked(true);
        w.action(u"2"_s)->setChecked(false);
        w.trigger(u"mDisconnect"_s);
        QVERIFY(w.showsClosed() && w.panel(1).isEmpty());

        for (const QString &clear : {u"mClear"_s, u"6"_s}) {
            w.trx()->model()->append(u"*#1##\r\n"_s);
            w.trigger(clear);
            QCOMPARE(w.transcript(), QString());
            w.trx()->flush();
            QCOMPARE(w.trx()->toPlainText(), QString());
        }

        // Exit closes the window, stores nothing and leaves the help window open.
        w.trigger(u"mHelp"_s);
        QPointer<FrmHelp> help = FrmHelp::instance();
        QVERIFY(help);
        const QByteArray ini = w.settings.readIni();
        w.trigger(u"mExit"_s);
        QTRY_VERIFY(!w.window().isVisible());
        QCOMPARE(w.settings.readIni(), ini);
        QVERIFY(help && help->isVisible());
        help->close();
    }

    // The help window opens in the language stored at the time; Save opens the save dialog
    // from the menu and the toolbar; Donate opens the donation page.
    void helpSaveDonate()
    {
        TestWindow w;
        w.trigger(u"mHelp"_s);
        QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donazione"_s);
        w.trigger(u"mEng"_s);
        QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donazione"_s);
        FrmHelp::instance()->close();
        QTRY_VERIFY(!FrmHelp::instance());
        w.trigger(u"mHelp"_s);
        QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donate"_s);
        FrmHelp::instance()->close();

        ModalAnswerer modals;
        w.trigger(u"mSave"_s);
        w.trigger(u"4"_s);
        QCOMPARE(modals.met.size(), 2);
        for (const QString &met : modals.met)
            QVERIFY2(met.startsWith(u"Save File |"_s), qPrintable(met));

        m_opened.clear();
        QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
        w.trigger(u"mDonate"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
        QCOMPARE(m_opened.size(), 1);
        QVERIFY(w.showsClosed() && w.window().isVisible());
    }
};

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"
