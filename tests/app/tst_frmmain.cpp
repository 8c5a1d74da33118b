// The main window driven as its user drives it: start-up, port choice, languages, commands.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TerminalView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// "item English Italian": a menu item by name, or a toolbar button (its tooltip) by number.
const char kTexts[] = "mFile File File,mSave Save Salva,mExit Exit Esci,mTools Tools Strumenti,"
                      "mConnect Connect Connetti,mDisconnect Disconnect Disconnetti,"
                      "mClear Clear Cancella,mLanguage Language Lingua,mIta Italian Italiano,"
                      "mEng English Inglese,mHlp ? ?,mHelp Help Aiuto,mDonate Donate Donazione,"
                      "1 Connect Connetti,2 Disconnect Disconnetti,4 Save Salva,6 Clear Cancella,"
                      "8 Italian Italiano,9 English Inglese";

void verifyLanguage(const FrmMain &w, bool italian)
{
    for (const QString &entry : QString::fromUtf8(kTexts).split(u',')) {
        const QStringList t = entry.split(u' ');
        const bool menu = t[0].startsWith(u'm');
        const QAction *action = menu ? w.menuItem(t[0]) : w.toolbarButton(t[0].toInt());
        QVERIFY2(action, qPrintable(entry));
        QCOMPARE(menu ? action->text() : action->toolTip(), t[italian ? 2 : 1]);
    }
    QCOMPARE(w.menuItem(u"mIta"_s)->isChecked(), italian);
    QCOMPARE(w.menuItem(u"mEng"_s)->isChecked(), !italian);
    QCOMPARE(w.statusPanel(2)->text(),
             italian ? u"Tempo connessione: 00.00.00"_s : u"Connection time: 00.00.00"_s);
}

bool notConnected(FrmMain &w)
{
    return !w.toolbarButton(1)->isChecked() && w.toolbarButton(2)->isChecked() &&
           w.statusPanel(1)->text().isEmpty() && !w.link().isPortOpen();
}

// The port chosen, when the list and the number the link opens agree on it; -99 if not.
int chosen(const FrmMain &w)
{
    return w.portNumber() == w.Ccom()->currentIndex() + 1 ? w.Ccom()->currentIndex() : -99;
}

} // namespace

class TstFrmMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"Telvo4686Sdk"_s); }

    void firstStart()
    {
        TestSettings settings;
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(chosen(w), 2);
        QCOMPARE(settings.value(u"Option/Com"_s), u"3"_s);
        QVERIFY(!settings.readIni().contains("language"));
        verifyLanguage(w, true);
        QVERIFY(notConnected(w));
        QCOMPARE(w.windowTitle(), u"Telvo L4686SDK"_s);

        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.size(), QSize(525, 504 + w.menuBar()->height()));
        QCOMPARE(w.Toolbar()->geometry().top(), w.menuBar()->height());
        QCOMPARE(w.StBar()->geometry().bottom(), w.height() - 1);
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(w.link().Tcon.interval(), 1000);
        QVERIFY(!w.link().Tcon.isActive());

        QVERIFY(w.Ccom()->isEditable() && w.Ccom()->isEnabled());
        QCOMPARE(w.Ccom()->count(), 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(w.Ccom()->itemText(i), u"COM %1"_s.arg(i + 1));
        for (int i = 1; i <= FrmMain::kToolbarButtons; ++i)
            QCOMPARE(w.toolbarButton(i)->isSeparator(), i == 3 || i == 5 || i == 7);
    }

    void storedSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("italian");
        QTest::newRow("Com 7") << "[Option]\nCom=7\n"_ba << 6 << true;
        QTest::newRow("Com 9") << "[Option]\nCom=9\n"_ba << 8 << true;
        for (const char *bad : {"0", "abc", "12", "-1", "300", ""})
            QTest::addRow("Com '%s'", bad) << "[Option]\nCom=" + QByteArray(bad) + "\n"
                                           << -1 << true;
        for (const char *code : {"it", "en", "", "IT", "fr"}) {
            QTest::addRow("language '%s'", code)
                << "[Option]\nCom=3\nlanguage=" + QByteArray(code) + "\n"
                << 2 << (code == "it"_L1);
        }
    }

    // What is stored is shown, and left as it is even when it names no port or language.
    void storedSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, index);
        QFETCH(bool, italian);
        TestSettings settings;
        settings.writeIni(ini);
        FrmMain w;
        QCOMPARE(chosen(w), index);
        verifyLanguage(w, italian);
        QCOMPARE(settings.readIni(), ini);
    }

    void switchLanguageKeepsTheRest()
    {
        TestSettings settings;
        settings.writeIni("[Option]\nlanguage=fr\n");
        FrmMain w;
        w.transcript().append(u"*#1##\r\n"_s);
        // Each twice: the second click picks the language already shown.
        for (const char *how : {"mIta", "mIta", "mEng", "mEng", "8", "8", "9", "9"}) {
            const QString item = QLatin1String(how);
            (item.startsWith(u'm') ? w.menuItem(item) : w.toolbarButton(item.toInt()))->trigger();
            const bool italian = item == "mIta"_L1 || item == "8"_L1;
            verifyLanguage(w, italian);
            QVERIFY2(!QTest::currentTestFailed(), how);
            QCOMPARE(settings.value(u"Option/language"_s), italian ? u"it"_s : u"en"_s);
        }
        QVERIFY(notConnected(w));
        QCOMPARE(w.transcript().text(), u"*#1##\r\n"_s);
        QCOMPARE(chosen(w), 2);

        // The connection time counts on across a switch, with a third digit past 99 hours.
        const auto after = [&w](int seconds) {
            for (int i = 0; i < seconds; ++i)
                w.link().onTconTick();
            return w.statusPanel(2)->text();
        };
        QCOMPARE(after(3600 + 5 * 60 + 9), u"Connection time: 01.05.09"_s);
        w.menuItem(u"mIta"_s)->trigger();
        QCOMPARE(after(0), u"Tempo connessione: 01.05.09"_s);
        w.toolbarButton(9)->trigger();
        QCOMPARE(after(1), u"Connection time: 01.05.10"_s);
        QCOMPARE(after(59 * 60 + 49), u"Connection time: 02.04.59"_s);
        QCOMPARE(after(97 * 3600 + 55 * 60 + 1), u"Connection time: 100.00.00"_s);
        w.toolbarButton(8)->trigger();
        QCOMPARE(after(0), u"Tempo connessione: 100.00.00"_s);
    }

    void idleButtonsOnlyUpdatePair_data()
    {
        QTest::addColumn<int>("index");
        for (int index : {3, 5, 7, 0, 10, -1, 2})
            QTest::addRow("button %d", index) << index;
    }

    void idleButtonsOnlyUpdatePair()
    {
        QFETCH(int, index);
        TestSettings settings;
        settings.writeIni("[Option]\nCom=5\nlanguage=en\n");
        FrmMain w;
        w.transcript().append(u"*#1##\r\n"_s);
        w.link().onTconTick();
        const QString panel2 = w.statusPanel(2)->text();
        // The pair shown wrong on purpose: the click brings it back in line with the link.
        w.toolbarButton(1)->setChecked(true);
        w.toolbarButton(2)->setChecked(false);

        w.Toolbar_ButtonClick(index);
        QVERIFY(notConnected(w));
        QCOMPARE(w.statusPanel(2)->text(), panel2);
        QCOMPARE(w.transcript().text(), u"*#1##\r\n"_s);
        QCOMPARE(settings.readIni(), "[Option]\nCom=5\nlanguage=en\n"_ba);
        QCOMPARE(chosen(w), 4);
        QVERIFY(w.Ccom()->isEnabled() && !w.link().Tcon.isActive());
    }

    void portListTypingClearExit()
    {
        TestSettings settings;
        settings.writeIni("[Option]\nCom=7\n");
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QComboBox *ccom = w.Ccom();

        // An entry's text typed into the list, confirmed, then left: no port is chosen.
        ccom->lineEdit()->setFocus();
        QTRY_VERIFY(ccom->lineEdit()->hasFocus());
        ccom->lineEdit()->selectAll();
        QTest::keyClicks(ccom->lineEdit(), u"COM 2"_s);
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Return);
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Enter);
        w.Trx()->setFocus();
        QTRY_VERIFY(!ccom->lineEdit()->hasFocus());
        QCOMPARE(chosen(w), 6);
        QCOMPARE(settings.readIni(), "[Option]\nCom=7\n"_ba);
        QCOMPARE(ccom->count(), 9);

        // A pick is stored at once, by key in the edit field or in the open list.
        QTest::keyClick(ccom->lineEdit(), Qt::Key_Up);
        QCOMPARE(chosen(w), 5);
        QCOMPARE(settings.value(u"Option/Com"_s), u"6"_s);
        ccom->showPopup();
        QTRY_VERIFY(ccom->view()->isVisible());
        QTest::keyClick(ccom->view(), Qt::Key_Down);
        QTest::keyClick(ccom->view(), Qt::Key_Down);
        QTest::keyClick(ccom->view(), Qt::Key_Return);
        QTRY_VERIFY(!ccom->view()->isVisible());
        QCOMPARE(chosen(w), 7);
        QCOMPARE(settings.value(u"Option/Com"_s), u"8"_s);

        // Not connected: no key reaches the transcript, frame keys included.
        w.Trx()->setFocus();
        QTest::keyClicks(w.Trx(), u"*#13**15##abc 19"_s);
        QTest::keyClick(w.Trx(), Qt::Key_Return);
        QTest::keyClick(w.Trx(), Qt::Key_Backspace);
        w.Trx()->flush();
        QCOMPARE(w.transcript().text(), QString());
        QCOMPARE(w.Trx()->toPlainText(), QString());
        QVERIFY(notConnected(w));

        for (QAction *clear : {w.menuItem(u"mClear"_s), w.toolbarButton(6)}) {
            w.transcript().append(u"*#1##\r\n"_s);
            w.Trx()->flush();
            clear->trigger();
            w.Trx()->flush();
            QCOMPARE(w.transcript().text(), QString());
            QCOMPARE(w.Trx()->toPlainText(), QString());
        }

        const QByteArray ini = settings.readIni();
        w.menuItem(u"mExit"_s)->trigger();
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(settings.readIni(), ini);
        QCOMPARE(chosen(FrmMain()), 7);
    }
};

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"
