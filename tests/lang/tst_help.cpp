// The help window, its text in both languages, and the donate command.

#include "Donate.h"
#include "FrmHelp.h"
#include "HelpText.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstHelp : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;

public Q_SLOTS:
    // Stands in for the browser: notes every address the program asks to open.
    void openUrl(const QUrl &url) { m_opened << url; }

private Q_SLOTS:
    void cleanup()
    {
        if (FrmHelp *help = FrmHelp::instance())
            help->close();
        QTRY_VERIFY(!FrmHelp::instance());
        QDesktopServices::unsetUrlHandler(u"https"_s);
    }

    // Fourteen lines joined by CR LF, 8, 10 and 13 empty, the two error names where a user
    // looks for them; every code but "it" is English.
    void helpText_data()
    {
        QTest::addColumn<QString>("code");
        for (const char *code : {"it", "en", "", "fr", "IT"})
            QTest::addRow("'%s'", code) << QString::fromLatin1(code);
    }
    void helpText()
    {
        QFETCH(QString, code);
        const bool italian = code == u"it"_s;
        const QString text = HelpText::text(code);
        QVERIFY(!text.endsWith(u'\n') &&
                !text.contains(QRegularExpression(u"\r(?!\n)|(?<!\r)\n"_s)));
        const QStringList lines = text.split(u"\r\n"_s);
        QCOMPARE(lines.size(), 14);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(lines[i].isEmpty(), i == 7 || i == 9 || i == 12);
        QCOMPARE(lines[0], u"Telvo L4686SDK."_s);
        QVERIFY(lines[10].startsWith(italian ? u"L4686SDK non trovata : "_s
                                             : u"L4686SDK not found : "_s));
        QVERIFY(lines[13].startsWith(italian ? u"Errore apertura com : "_s
                                             : u"Error opening com : "_s));
        const QStringList other = HelpText::text(italian ? u"en"_s : u"it"_s).split(u"\r\n"_s);
        for (int i = 1; i < 14; ++i)
            QVERIFY2(lines[i].isEmpty() || lines[i] != other[i], qPrintable(lines[i]));
        QCOMPARE(HelpText::donateCaption(code), italian ? u"Donazione"_s : u"Donate"_s);

        FrmHelp *help = FrmHelp::showHelp(code);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->windowTitle(), u"Help"_s);
        QCOMPARE(help->Thelp()->toPlainText(), lines.join(u'\n'));
        QCOMPARE(help->Llink()->text(), HelpText::donateCaption(code));
        // A screen reader's names: a dialog called as its caption, its text, the picture.
        const auto name = [](QObject *o) {
            return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
        };
        QCOMPARE(QAccessible::queryAccessibleInterface(help)->role(), QAccessible::Dialog);
        QCOMPARE(QStringList({name(help), name(help->Thelp()), name(help->Ipaypal())}),
                 QStringList({u"Help"_s, italian ? u"Testo dell'aiuto"_s : u"Help text"_s,
                              HelpText::donateCaption(code)}));
    }

    // One window, read-only but copyable, keeping its text until it is opened again.
    void oneReadOnlyWindow()
    {
        FrmHelp *help = FrmHelp::showHelp(u"it"_s);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(FrmHelp::showHelp(u"en"_s), help);
        int open = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            open += qobject_cast<FrmHelp *>(window) && window->isVisible();
        QCOMPARE(open, 1);
        const QString italian = help->Thelp()->toPlainText();
        QCOMPARE(help->Llink()->text(), u"Donazione"_s);

        QPlainTextEdit *thelp = help->Thelp();
        thelp->setFocus();
        QTest::keyClicks(thelp, u"typed"_s);
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return})
            QTest::keyClick(thelp, key);
        QApplication::clipboard()->clear();
        QTest::keySequence(thelp, QKeySequence::SelectAll);
        QTest::keySequence(thelp, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), italian);
        QTest::keySequence(thelp, QKeySequence::Cut);
        QTest::keySequence(thelp, QKeySequence::Paste);
        QCOMPARE(thelp->toPlainText(), italian);

        help->close();
        QTRY_VERIFY(!FrmHelp::instance());
        QCOMPARE(FrmHelp::showHelp(u"en"_s)->Llink()->text(), u"Donate"_s);
    }

    // Run inside the application's event loop, which ends when the last window closes: the
    // main window going first does not end the program while the help window is open.
    void outlivesTheMainWindow()
    {
        QWidget mainWindow;
        mainWindow.show();
        QPointer<FrmHelp> help = FrmHelp::showHelp(u"it"_s);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());

        int lastClosed = 0;
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [&lastClosed] { ++lastClosed; });
        bool helpOpenAfterMain = false;
        QTimer::singleShot(0, &mainWindow, [&] {
            mainWindow.close();
            // One turn of the loop later, so that a quit the close asked for would have happened.
            QTimer::singleShot(0, help, [&] {
                helpOpenAfterMain = help->isVisible() && lastClosed == 0;
                help->close();
            });
        });
        QTimer::singleShot(30000, this, [] { QCoreApplication::exit(1); }); // a guard
        QCOMPARE(QCoreApplication::exec(), 0); // closing the help window ended the program
        QVERIFY(helpOpenAfterMain);
        QCOMPARE(lastClosed, 1);
    }

    // Donate, the link and the picture each open the page; so do Return, Enter and Space on
    // the link, which Tab from the text reaches; Escape closes the window.
    void donate()
    {
        m_opened.clear();
        QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
        Donate::openDonationPage();
        FrmHelp *help = FrmHelp::showHelp(u"en"_s);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTRY_COMPARE(QApplication::focusWidget(), help->Thelp());
        QTest::keyClick(help->Thelp(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), help->Llink());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(help->Llink(), key);
        QTest::mouseClick(help->Llink(), Qt::LeftButton);
        QTest::mouseClick(help->Ipaypal(), Qt::LeftButton);
        QTest::mouseClick(help->Ipaypal(), Qt::RightButton); // not a click on a link
        const QUrl page(u"https://"_s + QLatin1String(Donate::kDonationPageAddress));
        QCOMPARE(m_opened, QList<QUrl>(6, page));
        QVERIFY(help->isVisible());
        QTest::keyClick(help->Thelp(), Qt::Key_Escape);
        QTRY_VERIFY(!FrmHelp::instance());
    }
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
