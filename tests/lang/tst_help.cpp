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

// The 14 lines as the window shows them; the text itself separates them with CR LF.
const QString kEnglish = QString::fromUtf8(R"(Telvo L4686SDK.
The program allows you to sending and receiving the own frame to l4686sdk through the serial port.
1. Select the serial port where the interface l4686sdk is connected.
2. Open the connection by clicking on the connect icon -()- or the tools menu.
3. To send the frame just write it over the program window, you do not need to press enter, when te frame is complete you will get the answer from the system (ack o nack).
To close the connection click on the icon -( or use the tools menu, you can also save the text in the window trough the menù file > save or the floppy icon.
The blank page icon delete the contents of the window. The program is available in two languages, English and Italian.

Possible errors displayed by the program:

L4686SDK not found : Where sending the state frame, no response is received.
Check that the interface is plugged on the correct port and is connected to the bus (the bus power the interface).

Error opening com : The selected serial port does not exist.)");

const QString kItalian = QString::fromUtf8(R"(Telvo L4686SDK.
Il programma permette l'invio e la ricezione delle frame own all'interfaccia l4686sdk attraverso la porta seriale.
1. Selezionare la porta seriale dove è connessa l'interfaccia l4686sdk.
2. Aprire la connessione cliccando sull'icona connetti -()- o dal menù strumenti.
3. Per inviare le frame basta digitarle sopra la finestra del programma, non c'è bisogno di dare invio, a frame completata avrete la risposta dal sistema (ack o nack).
Per chiudere la connessione cliccare sulla relativa icona -( o dal menù strumenti, si può inoltre salvare il testo tramite il menù file > salva o l'icona floppy.
L'icona pagina vuota cancella il contenuto della finestra. Il programma è disponibile in due lingue, Italiano e Inglese.

Errori possibili mostrati dal programma:

L4686SDK non trovata : Nell'invio della frame di richiesta all'interfaccia non si è ricevuta risposta.
Controllare che l'interfaccia sia collegata sulla porta corretta e sia connessa al bus (il bus alimenta l'interfaccia).

Errore apertura com : La porta com selezionata non esiste.)");

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;

public Q_SLOTS:
    // Stands in for the browser: notes every address the program asks to open.
    void openUrl(const QUrl &url) { m_opened << url; }

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"Telvo4686Sdk"_s); }

    void cleanup()
    {
        if (FrmHelp *help = FrmHelp::instance())
            help->close();
        QTRY_VERIFY(!FrmHelp::instance());
        QDesktopServices::unsetUrlHandler(u"https"_s);
    }

    void helpText_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<bool>("italian");
        QTest::newRow("none stored") << QByteArray() << true;
        for (const char *code : {"it", "en", "", "fr", "IT"})
            QTest::addRow("'%s'", code) << QByteArray(code) << (code == "it"_L1);
    }

    void helpText()
    {
        QFETCH(QByteArray, code);
        QFETCH(bool, italian);
        const QString expected = italian ? kItalian : kEnglish;
        QCOMPARE(HelpText::text(code.isNull() ? u"it"_s : QString::fromLatin1(code)),
                 QString(expected).replace(u'\n', u"\r\n"_s));

        TestSettings settings;
        if (!code.isNull())
            settings.writeIni("[Option]\nlanguage=" + code + "\n");
        FrmHelp *help = FrmHelp::showHelp();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->windowTitle(), u"Help"_s);
        QCOMPARE(help->Thelp()->toPlainText(), expected);
        QCOMPARE(help->Llink()->text(), italian ? u"Donazione"_s : u"Donate"_s);
    }

    // One window, read-only but copyable, keeping its text until it is opened again.
    void helpWindow()
    {
        TestSettings settings;
        FrmMain w;
        w.show();
        QAction *mHelp = w.menuItem(u"mHelp"_s);
        mHelp->trigger();
        FrmHelp *help = FrmHelp::instance();
        QVERIFY(help && QTest::qWaitForWindowActive(help));
        mHelp->trigger();
        QCOMPARE(FrmHelp::showHelp(), help);
        int open = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            open += qobject_cast<FrmHelp *>(window) && window->isVisible();
        QCOMPARE(open, 1);

        QPlainTextEdit *thelp = help->Thelp();
        thelp->setFocus();
        QTest::keyClicks(thelp, u"typed"_s);
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return})
            QTest::keyClick(thelp, key);
        QApplication::clipboard()->clear();
        QTest::keySequence(thelp, QKeySequence::SelectAll);
        QTest::keySequence(thelp, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), kItalian);
        QTest::keySequence(thelp, QKeySequence::Cut);
        QTest::keySequence(thelp, QKeySequence::Paste);
        QCOMPARE(thelp->toPlainText(), kItalian);

        w.menuItem(u"mEng"_s)->trigger();
        QCOMPARE(thelp->toPlainText(), kItalian);
        QCOMPARE(help->Llink()->text(), u"Donazione"_s);
        help->close();
        QTRY_VERIFY(!FrmHelp::instance());
        mHelp->trigger();
        QCOMPARE(FrmHelp::instance()->Thelp()->toPlainText(), kEnglish);
        QCOMPARE(FrmHelp::instance()->Llink()->text(), u"Donate"_s);
    }

    // Run inside the application's event loop, which ends when the last window closes.
    void helpOutlivesMainWindow()
    {
        TestSettings settings;
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.menuItem(u"mHelp"_s)->trigger();
        QPointer<FrmHelp> help = FrmHelp::instance();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());

        int lastClosed = 0;
        connect(qApp, &QGuiApplication::lastWindowClosed, &w, [&lastClosed] { ++lastClosed; });
        bool helpOpenAfterMain = false;
        QTimer::singleShot(0, &w, [&] {
            w.menuItem(u"mExit"_s)->trigger();
            // One turn of the loop later, so that a quit the close asked for would have happened.
            QTimer::singleShot(0, help, [&] {
                helpOpenAfterMain = help->isVisible() && lastClosed == 0;
                help->close();
            });
        });
        QTimer::singleShot(30000, &w, [] { QCoreApplication::exit(1); }); // a guard
        QCOMPARE(QCoreApplication::exec(), 0); // closing the help window ended the program
        QVERIFY(!w.isVisible());
        QVERIFY(helpOpenAfterMain);
        QCOMPARE(lastClosed, 1);
    }

    void donate_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("how");
        for (const char *language : {"it", "en"}) {
            for (const char *how : {"mDonate", "Llink", "Ipaypal"})
                QTest::addRow("%s, %s", how, language)
                    << QByteArray(language) << QString::fromLatin1(how);
        }
    }

    void donate()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, how);
        TestSettings settings;
        settings.writeIni("[Option]\nlanguage=" + language + "\n");
        m_opened.clear();
        QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int click = 0; click < 2; ++click) {
            if (how == u"mDonate"_s) {
                w.menuItem(how)->trigger();
                continue;
            }
            FrmHelp *help = FrmHelp::showHelp();
            QVERIFY(QTest::qWaitForWindowExposed(help));
            QVERIFY(help->findChild<QWidget *>(how));
            QTest::mouseClick(help->findChild<QWidget *>(how), Qt::LeftButton);
        }
        const QUrl page(u"https://"_s + QLatin1String(Donate::kDonationPageAddress));
        QCOMPARE(m_opened, (QList<QUrl>{page, page}));
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
