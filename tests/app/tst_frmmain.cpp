// The main window driven as its user drives it: start-up, port choice, languages, commands.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TerminalView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> stored(const TestSettings &settings, const char *key)
{
    QSettings ini(settings.iniPath(), QSettings::IniFormat);
    const QString name = QStringLiteral("Option/") + QLatin1String(key);
    if (!ini.contains(name))
        return std::nullopt;
    return ini.value(name).toString();
}

// What the user reads in each language.
struct Caption
{
    const char *item;
    const char *english;
    const char *italian;
};
const Caption kMenuCaptions[] = {
    {"mFile", "File", "File"},
    {"mSave", "Save", "Salva"},
    {"mExit", "Exit", "Esci"},
    {"mTools", "Tools", "Strumenti"},
    {"mConnect", "Connect", "Connetti"},
    {"mDisconnect", "Disconnect", "Disconnetti"},
    {"mClear", "Clear", "Cancella"},
    {"mLanguage", "Language", "Lingua"},
    {"mIta", "Italian", "Italiano"},
    {"mEng", "English", "Inglese"},
    {"mHlp", "?", "?"},
    {"mHelp", "Help", "Aiuto"},
    {"mDonate", "Donate", "Donazione"},
};
const struct
{
    int button;
    const char *english;
    const char *italian;
} kTooltips[] = {
    {1, "Connect", "Connetti"}, {2, "Disconnect", "Disconnetti"}, {4, "Save", "Salva"},
    {6, "Clear", "Cancella"},   {8, "Italian", "Italiano"},       {9, "English", "Inglese"},
};

void verifyLanguage(const FrmMain &w, bool italian,
                    const QString &time = QStringLiteral("00.00.00"))
{
    for (const Caption &c : kMenuCaptions) {
        const QAction *action = w.menuItem(QLatin1String(c.item));
        QVERIFY2(action, c.item);
        QCOMPARE(action->text(), QString::fromUtf8(italian ? c.italian : c.english));
    }
    for (const auto &t : kTooltips)
        QCOMPARE(w.toolbarButton(t.button)->toolTip(),
                 QString::fromUtf8(italian ? t.italian : t.english));
    QCOMPARE(w.menuItem(QStringLiteral("mIta"))->isChecked(), italian);
    QCOMPARE(w.menuItem(QStringLiteral("mEng"))->isChecked(), !italian);
    QCOMPARE(w.statusPanel(2)->text(), (italian ? QStringLiteral("Tempo connessione: ")
                                                : QStringLiteral("Connection time: ")) +
                                           time);
}

void verifyNotConnected(const FrmMain &w)
{
    QVERIFY(!w.toolbarButton(1)->isChecked());
    QVERIFY(w.toolbarButton(2)->isChecked());
}

} // namespace

class TstFrmMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void firstStart();
    void storedPort_data();
    void storedPort();
    void pickStoresPort_data();
    void pickStoresPort();
    void typedPortTextChoosesNothing();
    void storedLanguage_data();
    void storedLanguage();
    void switchLanguage_data();
    void switchLanguage();
    void connectionTimeSurvivesSwitch();
    void idleButtonsOnlyUpdatePair_data();
    void idleButtonsOnlyUpdatePair();
    void typeClearExit();
};

void TstFrmMain::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk"));
}

void TstFrmMain::firstStart()
{
    TestSettings settings;
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.Ccom()->currentIndex(), 2);
    QCOMPARE(w.portNumber(), quint8(3));
    QCOMPARE(stored(settings, "Com"), QStringLiteral("3"));
    QCOMPARE(stored(settings, "language"), std::nullopt);
    verifyLanguage(w, true);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(w.statusPanel(1)->text(), QString());
    verifyNotConnected(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Telvo L4686SDK"));
    QVERIFY(w.transcript().text().isEmpty());

    // Fixed size: 525 x 504 below the menu bar, no minimise or maximise button.
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.width(), 525);
    QCOMPARE(w.height() - w.menuBar()->height(), 504);
    QCOMPARE(w.Toolbar()->geometry().top(), w.menuBar()->height());
    QCOMPARE(w.StBar()->geometry().bottom(), w.height() - 1);
    QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);

    QCOMPARE(w.link().Tcon.interval(), 1000);
    QVERIFY(!w.link().Tcon.isActive());

    QVERIFY(w.Ccom()->isEditable());
    QVERIFY(w.Ccom()->isEnabled());
    QStringList entries;
    for (int i = 0; i < w.Ccom()->count(); ++i)
        entries << w.Ccom()->itemText(i);
    QCOMPARE(entries, (QStringList{"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6", "COM 7",
                                   "COM 8", "COM 9"}));
    for (int i = 1; i <= FrmMain::kToolbarButtons; ++i)
        QCOMPARE(w.toolbarButton(i)->isSeparator(), i == 3 || i == 5 || i == 7);
}

void TstFrmMain::storedPort_data()
{
    QTest::addColumn<QByteArray>("com");
    QTest::addColumn<int>("index");

    QTest::newRow("7") << "7"_ba << 6;
    QTest::newRow("1") << "1"_ba << 0;
    QTest::newRow("9") << "9"_ba << 8;
    QTest::newRow("0") << "0"_ba << -1;
    QTest::newRow("abc") << "abc"_ba << -1;
    QTest::newRow("12") << "12"_ba << -1;
    QTest::newRow("-1") << "-1"_ba << -1;
    QTest::newRow("300") << "300"_ba << -1;
    QTest::newRow("empty") << ""_ba << -1;
}

void TstFrmMain::storedPort()
{
    QFETCH(QByteArray, com);
    QFETCH(int, index);

    TestSettings settings;
    settings.writeIni("[Option]\nCom=" + com + "\n");
    FrmMain w;
    QCOMPARE(w.Ccom()->currentIndex(), index);
    QCOMPARE(w.portNumber(), quint8(index + 1));
    QCOMPARE(stored(settings, "Com"), QString::fromLatin1(com));
}

void TstFrmMain::pickStoresPort_data()
{
    QTest::addColumn<bool>("popup");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("picked");

    QTest::newRow("Down key in the edit field") << false << int(Qt::Key_Down) << 3;
    QTest::newRow("Up key in the edit field") << false << int(Qt::Key_Up) << 1;
    QTest::newRow("Down and Enter in the open list") << true << int(Qt::Key_Down) << 3;
    QTest::newRow("Up and Enter in the open list") << true << int(Qt::Key_Up) << 1;
}

void TstFrmMain::pickStoresPort()
{
    QFETCH(bool, popup);
    QFETCH(int, key);
    QFETCH(int, picked);

    TestSettings settings;
    {
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QComboBox *ccom = w.Ccom();
        if (popup) {
            ccom->showPopup();
            QAbstractItemView *list = ccom->view();
            QTRY_VERIFY(list->isVisible());
            QTest::keyClick(list, Qt::Key(key));
            QTest::keyClick(list, Qt::Key_Return);
            QTRY_VERIFY(!list->isVisible());
        } else {
            QTest::keyClick(ccom->lineEdit(), Qt::Key(key));
        }
        QCOMPARE(ccom->currentIndex(), picked);
        QCOMPARE(w.portNumber(), quint8(picked + 1));
        QCOMPARE(stored(settings, "Com"), QString::number(picked + 1));
    }
    FrmMain restarted;
    QCOMPARE(restarted.Ccom()->currentIndex(), picked);
    QCOMPARE(restarted.portNumber(), quint8(picked + 1));
}

void TstFrmMain::typedPortTextChoosesNothing()
{
    TestSettings settings;
    settings.writeIni("[Option]\nCom=7\n");
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QLineEdit *edit = w.Ccom()->lineEdit();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->selectAll();
    // The text of an entry, confirmed with Enter, then the focus moves on.
    QTest::keyClicks(edit, QStringLiteral("COM 2"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    w.Trx()->setFocus();
    QTRY_VERIFY(!edit->hasFocus());

    QCOMPARE(w.Ccom()->currentIndex(), 6);
    QCOMPARE(w.portNumber(), quint8(7));
    QCOMPARE(stored(settings, "Com"), QStringLiteral("7"));
    QCOMPARE(w.Ccom()->count(), 9);
}

void TstFrmMain::storedLanguage_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("italian");

    QTest::newRow("none stored") << "[Option]\nCom=3\n"_ba << true;
    QTest::newRow("it") << "[Option]\nlanguage=it\n"_ba << true;
    QTest::newRow("en") << "[Option]\nlanguage=en\n"_ba << false;
    QTest::newRow("empty") << "[Option]\nlanguage=\n"_ba << false;
    QTest::newRow("IT") << "[Option]\nlanguage=IT\n"_ba << false;
    QTest::newRow("fr") << "[Option]\nlanguage=fr\n"_ba << false;
}

void TstFrmMain::storedLanguage()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, italian);

    TestSettings settings;
    settings.writeIni(ini);
    const std::optional<QString> before = stored(settings, "language");
    FrmMain w;
    verifyLanguage(w, italian);
    QCOMPARE(stored(settings, "language"), before);
}

void TstFrmMain::switchLanguage_data()
{
    QTest::addColumn<QByteArray>("startCode");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("italian");

    QTest::newRow("mEng") << "it"_ba
                          << "mEng" << false;
    QTest::newRow("mIta") << "en"_ba
                          << "mIta" << true;
    QTest::newRow("button 9 handler") << "it"_ba
                                      << "9" << false;
    QTest::newRow("button 8 handler") << "en"_ba
                                      << "8" << true;
    QTest::newRow("button 9 action") << "it"_ba
                                     << "action 9" << false;
    QTest::newRow("button 8 action") << "fr"_ba
                                     << "action 8" << true;
    QTest::newRow("mEng again") << "en"_ba
                                << "mEng" << false;
    QTest::newRow("button 8 again") << "it"_ba
                                    << "8" << true;
}

void TstFrmMain::switchLanguage()
{
    QFETCH(QByteArray, startCode);
    QFETCH(QString, how);
    QFETCH(bool, italian);

    TestSettings settings;
    settings.writeIni("[Option]\nlanguage=" + startCode + "\n");
    FrmMain w;
    w.transcript().append(QStringLiteral("*#1##\r\n"));
    for (int click = 0; click < 2; ++click) {
        if (how.startsWith(u'm'))
            w.menuItem(how)->trigger();
        else if (how.startsWith(QLatin1String("action ")))
            w.toolbarButton(how.mid(7).toInt())->trigger();
        else
            w.Toolbar_ButtonClick(how.toInt());
        verifyLanguage(w, italian);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(stored(settings, "language"),
                 italian ? QStringLiteral("it") : QStringLiteral("en"));
    }
    verifyNotConnected(w);
    QCOMPARE(w.statusPanel(1)->text(), QString());
    QCOMPARE(w.transcript().text(), QStringLiteral("*#1##\r\n"));
    QCOMPARE(w.Ccom()->currentIndex(), 2);
}

void TstFrmMain::connectionTimeSurvivesSwitch()
{
    TestSettings settings;
    FrmMain w;
    const auto tick = [&w](int seconds) {
        for (int i = 0; i < seconds; ++i)
            w.link().onTconTick();
    };
    tick(3600 + 5 * 60 + 9);
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Tempo connessione: 01.05.09"));
    w.menuItem(QStringLiteral("mEng"))->trigger();
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Connection time: 01.05.09"));
    tick(1);
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Connection time: 01.05.10"));
    tick(59 * 60 + 49);
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Connection time: 02.04.59"));

    // Past 99 hours the hours take a third digit.
    tick(97 * 3600 + 55 * 60 + 1);
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Connection time: 100.00.00"));
    w.Toolbar_ButtonClick(8);
    QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Tempo connessione: 100.00.00"));
}

void TstFrmMain::idleButtonsOnlyUpdatePair_data()
{
    QTest::addColumn<int>("index");
    for (int index : {3, 5, 7, 0, 10, -1, 2})
        QTest::addRow("button %d", index) << index;
}

void TstFrmMain::idleButtonsOnlyUpdatePair()
{
    QFETCH(int, index);

    TestSettings settings;
    settings.writeIni("[Option]\nCom=5\nlanguage=en\n");
    FrmMain w;
    w.transcript().append(QStringLiteral("*#1##\r\n"));
    w.link().onTconTick();
    const QString panel2 = w.statusPanel(2)->text();
    const QByteArray ini = settings.readIni();
    // The pair shown wrong on purpose: the click brings it back in line with the link.
    w.toolbarButton(1)->setChecked(true);
    w.toolbarButton(2)->setChecked(false);

    w.Toolbar_ButtonClick(index);
    verifyNotConnected(w);
    QCOMPARE(w.statusPanel(1)->text(), QString());
    QCOMPARE(w.statusPanel(2)->text(), panel2);
    QCOMPARE(w.transcript().text(), QStringLiteral("*#1##\r\n"));
    QCOMPARE(settings.readIni(), ini);
    QCOMPARE(w.Ccom()->currentIndex(), 4);
    QVERIFY(w.Ccom()->isEnabled());
    QVERIFY(!w.link().Tcon.isActive());
    QVERIFY(!w.link().isPortOpen());
}

void TstFrmMain::typeClearExit()
{
    TestSettings settings;
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Not connected: no key reaches the transcript, accepted frame keys included.
    w.Trx()->setFocus();
    QTest::keyClicks(w.Trx(), QStringLiteral("*#13**15##abc 19"));
    QTest::keyClick(w.Trx(), Qt::Key_Return);
    QTest::keyClick(w.Trx(), Qt::Key_Backspace);
    QCOMPARE(w.transcript().text(), QString());
    w.Trx()->flush();
    QCOMPARE(w.Trx()->toPlainText(), QString());
    QCOMPARE(w.statusPanel(1)->text(), QString());

    w.transcript().append(QStringLiteral("*#1##\r\n"));
    w.Trx()->flush();
    w.menuItem(QStringLiteral("mClear"))->trigger();
    QCOMPARE(w.transcript().text(), QString());
    w.Trx()->flush();
    QCOMPARE(w.Trx()->toPlainText(), QString());
    w.transcript().append(QStringLiteral("*#2##\r\n"));
    w.toolbarButton(6)->trigger();
    QCOMPARE(w.transcript().text(), QString());
    verifyNotConnected(w);

    const QByteArray ini = settings.readIni();
    w.menuItem(QStringLiteral("mExit"))->trigger();
    QTRY_VERIFY(!w.isVisible());
    QCOMPARE(settings.readIni(), ini);
}

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"
