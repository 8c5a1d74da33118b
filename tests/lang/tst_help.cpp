// The help window and the donate command.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "lang/Donate.h"
#include "lang/FrmHelp.h"
#include "lang/HelpText.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kEnglish = {
    u"Telvo L4686SDK."_s,
    u"The program allows you to sending and receiving the own frame to l4686sdk through the "
    u"serial port."_s,
    u"1. Select the serial port where the interface l4686sdk is connected."_s,
    u"2. Open the connection by clicking on the connect icon -()- or the tools menu."_s,
    u"3. To send the frame just write it over the program window, you do not need to press "
    u"enter, when te frame is complete you will get the answer from the system (ack o nack)."_s,
    u"To close the connection click on the icon -( or use the tools menu, you can also save the "
    u"text in the window trough the menù file > save or the floppy icon."_s,
    u"The blank page icon delete the contents of the window. The program is available in two "
    u"languages, English and Italian."_s,
    QString(),
    u"Possible errors displayed by the program:"_s,
    QString(),
    u"L4686SDK not found : Where sending the state frame, no response is received."_s,
    u"Check that the interface is plugged on the correct port and is connected to the bus (the "
    u"bus power the interface)."_s,
    QString(),
    u"Error opening com : The selected serial port does not exist."_s,
};

const QStringList kItalian = {
    u"Telvo L4686SDK."_s,
    u"Il programma permette l'invio e la ricezione delle frame own all'interfaccia l4686sdk "
    u"attraverso la porta seriale."_s,
    u"1. Selezionare la porta seriale dove è connessa l'interfaccia l4686sdk."_s,
    u"2. Aprire la connessione cliccando sull'icona connetti -()- o dal menù strumenti."_s,
    u"3. Per inviare le frame basta digitarle sopra la finestra del programma, non c'è bisogno "
    u"di dare invio, a frame completata avrete la risposta dal sistema (ack o nack)."_s,
    u"Per chiudere la connessione cliccare sulla relativa icona -( o dal menù strumenti, si può "
    u"inoltre salvare il testo tramite il menù file > salva o l'icona floppy."_s,
    u"L'icona pagina vuota cancella il contenuto della finestra. Il programma è disponibile in "
    u"due lingue, Italiano e Inglese."_s,
    QString(),
    u"Errori possibili mostrati dal programma:"_s,
    QString(),
    u"L4686SDK non trovata : Nell'invio della frame di richiesta all'interfaccia non si è "
    u"ricevuta risposta."_s,
    u"Controllare che l'interfaccia sia collegata sulla porta corretta e sia connessa al bus (il "
    u"bus alimenta l'interfaccia)."_s,
    QString(),
    u"Errore apertura com : La porta com selezionata non esiste."_s,
};

// Stands in for the browser: notes every address the program asks to open.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

QList<FrmHelp *> visibleHelpWindows()
{
    QList<FrmHelp *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *help = qobject_cast<FrmHelp *>(w); help && help->isVisible())
            found << help;
    }
    return found;
}

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void helpText_data();
    void helpText();
    void oneHelpWindow();
    void readOnlyButSelectable();
    void openHelpKeepsItsLanguage();
    void helpOutlivesMainWindow();
    void donate_data();
    void donate();
};

void TstHelp::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk"));
}

void TstHelp::cleanup()
{
    if (FrmHelp *help = FrmHelp::instance())
        help->close();
    QTRY_VERIFY(!FrmHelp::instance());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TstHelp::helpText_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("italian");

    QTest::newRow("none stored") << QByteArray() << u"it"_s << true;
    QTest::newRow("it") << "[Option]\nlanguage=it\n"_ba << u"it"_s << true;
    QTest::newRow("en") << "[Option]\nlanguage=en\n"_ba << u"en"_s << false;
    QTest::newRow("empty") << "[Option]\nlanguage=\n"_ba << QString() << false;
    QTest::newRow("fr") << "[Option]\nlanguage=fr\n"_ba << u"fr"_s << false;
    QTest::newRow("IT") << "[Option]\nlanguage=IT\n"_ba << u"IT"_s << false;
}

void TstHelp::helpText()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, code);
    QFETCH(bool, italian);

    const QString expected = (italian ? kItalian : kEnglish).join(u"\r\n"_s);
    QCOMPARE(HelpText::text(code), expected);

    TestSettings settings;
    if (!ini.isNull())
        settings.writeIni(ini);
    FrmHelp *help = FrmHelp::showHelp();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QCOMPARE(help->windowTitle(), u"Help"_s);
    QCOMPARE(help->Thelp()->toPlainText(), QString(expected).replace(u"\r\n"_s, u"\n"_s));
    QCOMPARE(help->Thelp()->document()->blockCount(), 14);
    QCOMPARE(help->Llink()->text(), italian ? u"Donazione"_s : u"Donate"_s);
}

void TstHelp::oneHelpWindow()
{
    TestSettings settings;
    FrmMain w;
    w.show();
    QAction *mHelp = w.menuItem(u"mHelp"_s);
    mHelp->trigger();
    FrmHelp *help = FrmHelp::instance();
    QVERIFY(help);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    const QString text = help->Thelp()->toPlainText();

    mHelp->trigger();
    QCOMPARE(FrmHelp::showHelp(), help);
    QCOMPARE(visibleHelpWindows(), QList<FrmHelp *>{help});
    QCOMPARE(help->Thelp()->toPlainText(), text);
}

void TstHelp::readOnlyButSelectable()
{
    TestSettings settings;
    FrmHelp *help = FrmHelp::showHelp();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QPlainTextEdit *thelp = help->Thelp();
    const QString text = thelp->toPlainText();
    thelp->setFocus();
    QTest::keyClicks(thelp, u"typed"_s);
    QTest::keyClick(thelp, Qt::Key_Delete);
    QTest::keyClick(thelp, Qt::Key_Backspace);
    QTest::keyClick(thelp, Qt::Key_Return);
    QCOMPARE(thelp->toPlainText(), text);

    QApplication::clipboard()->clear();
    QTest::keySequence(thelp, QKeySequence::SelectAll);
    QTest::keySequence(thelp, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), text);
    QTest::keySequence(thelp, QKeySequence::Cut);
    QTest::keySequence(thelp, QKeySequence::Paste);
    QCOMPARE(thelp->toPlainText(), text);
}

void TstHelp::openHelpKeepsItsLanguage()
{
    TestSettings settings;
    FrmMain w;
    w.menuItem(u"mHelp"_s)->trigger();
    const QString italian = QStringList(kItalian).join(u'\n');
    QCOMPARE(FrmHelp::instance()->Thelp()->toPlainText(), italian);

    w.menuItem(u"mEng"_s)->trigger();
    w.Toolbar_ButtonClick(9);
    QCOMPARE(FrmHelp::instance()->Thelp()->toPlainText(), italian);
    QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donazione"_s);

    FrmHelp::instance()->close();
    QTRY_VERIFY(!FrmHelp::instance());
    w.menuItem(u"mHelp"_s)->trigger();
    QCOMPARE(FrmHelp::instance()->Thelp()->toPlainText(), QStringList(kEnglish).join(u'\n'));
    QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donate"_s);
}

void TstHelp::helpOutlivesMainWindow()
{
    // Run as the program runs, inside the application's event loop, which ends when the last
    // window closes.
    TestSettings settings;
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.menuItem(u"mHelp"_s)->trigger();
    QPointer<FrmHelp> help = FrmHelp::instance();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());

    int lastClosed = 0;
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [&lastClosed] { ++lastClosed; });
    bool helpOpenAfterMain = false;
    int lastClosedWithHelpOpen = -1;
    QTimer::singleShot(0, this, [&] {
        w.menuItem(u"mExit"_s)->trigger();
        // One turn of the loop later, so that a quit the close asked for would have happened.
        QTimer::singleShot(0, this, [&] {
            helpOpenAfterMain = help && help->isVisible();
            lastClosedWithHelpOpen = lastClosed;
            if (help)
                help->close();
        });
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    guard.start(30000);
    const int result = QCoreApplication::exec();

    QVERIFY(!w.isVisible());
    QVERIFY(helpOpenAfterMain);
    QCOMPARE(lastClosedWithHelpOpen, 0);
    QCOMPARE(result, 0); // closing the help window ended the program, not the guard
    QCOMPARE(lastClosed, 1);
}

void TstHelp::donate_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("how");

    QTest::newRow("mDonate, Italian") << "it"_ba << u"mDonate"_s;
    QTest::newRow("mDonate, English") << "en"_ba << u"mDonate"_s;
    QTest::newRow("Llink") << "it"_ba << u"Llink"_s;
    QTest::newRow("Ipaypal") << "en"_ba << u"Ipaypal"_s;
}

void TstHelp::donate()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, how);

    TestSettings settings;
    settings.writeIni("[Option]\nlanguage=" + language + "\n");
    Browser browser;
    QDesktopServices::setUrlHandler(u"https"_s, &browser, "open");
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString transcript = u"*#1##\r\n"_s;
    w.transcript().append(transcript);
    const QByteArray ini = settings.readIni();

    for (int click = 0; click < 2; ++click) {
        if (how == u"mDonate"_s) {
            w.menuItem(how)->trigger();
        } else {
            FrmHelp *help = FrmHelp::showHelp();
            QVERIFY(QTest::qWaitForWindowExposed(help));
            QWidget *target =
                how == u"Llink"_s ? static_cast<QWidget *>(help->Llink()) : help->Ipaypal();
            QTest::mouseClick(target, Qt::LeftButton);
        }
    }
    const QUrl page(u"https://"_s + QLatin1String(Donate::kDonationPageAddress));
    QCOMPARE(browser.opened, (QList<QUrl>{page, page}));
    QCOMPARE(w.transcript().text(), transcript);
    QCOMPARE(settings.readIni(), ini);
    QVERIFY(w.isVisible());
}

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
