// What the main window reads and writes of the settings file: the stored port and language
// shown as written, and a file written by hand left as it is but for the value changed.

#include "AppSettings.h"
#include "TestWindow.h"
#include "WindowLanguage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A file as a user writes one: comments, a byte order mark, CR LF on some lines, blanks,
// odd values and bytes that are not UTF-8; all nine entries mapped, so that no device of
// this computer is given one.
const QByteArray kOdd = "\xEF\xBB\xBF; written by hand\r\n# keep this\n[Ports]\n"
                        "COM1=/dev/tty,with,commas ; not a comment\nCOM2 = \"/dev/quoted\" \n"
                        "COM3=C:\\back\\slash\nCOM4=/dev/\xff\xfe-latin1\nCOM5=/dev/a, b, c\n"
                        "COM6=%4E%41\n\tCOM7\t=\t/dev/ttyUSB7\t\nCOM8=/dev/ttyUSB0\n"
                        "COM9=/nonexistent\n\n[Option]  ; the program's\nlanguage = it\r\n"
                        "Com=05\n[zzz]\na=b"_ba;

} // namespace

class TstWindowSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The port and language read from the file, as written.
    void storedSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("language");
        QTest::newRow("Com 7, English") << "[Option]\nCom=7\nlanguage=en\n"_ba << 7 << u"en"_s;
        QTest::newRow("Com 0 selects none") << "[Option]\nCom=0\n"_ba << 0 << u"it"_s;
        QTest::newRow("Com 9") << "[Option]\nCom=9\n"_ba << 9 << u"it"_s;
        for (const char *bad : {"abc", "12", "-1", "300", "", " ", "1a", "+1", "\xd9\xa3"})
            QTest::addRow("Com '%s' names no entry", bad)
                << "[Option]\nCom=" + QByteArray(bad) + "\n"
                << -1 << u"it"_s;
        QTest::newRow("Com with blanks") << "[Option]\nCom= 5 \n"_ba << 5 << u"it"_s;
        for (const char *code : {"", "fr", "IT"}) {
            QTest::addRow("language '%s'", code)
                << "[Option]\nCom=3\nlanguage=" + QByteArray(code) + "\n"
                << 3 << QString::fromUtf8(code);
        }
    }
    // What is stored is shown, in Italian only for "it", and left as it is even when it names
    // no port or language.
    void storedSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, port);
        QFETCH(QString, language);
        TestWindow w(ini);
        QCOMPARE(AppSettings().port(), port);
        QCOMPARE(AppSettings().language(), language);
        QCOMPARE(w.ccom()->currentIndex(), port >= 1 ? port - 1 : -1);
        if (port < 1)
            QCOMPARE(w.ccom()->currentText(), u"com1"_s);
        verifyLanguage(w, language == u"it"_s);
        QCOMPARE(w.settings.readIni(), ini);
    }

    // The settings file is its user's: a start, a pick and a language change change only the
    // bytes of the changed value.
    void windowKeepsTheFile()
    {
        TestWindow w(kOdd);
        QCOMPARE(w.settings.readIni(), kOdd);
        QCOMPARE(w.ccom()->currentIndex(), 4);
        QCOMPARE(w.ccom()->itemData(0, Qt::ToolTipRole).toString(),
                 u"/dev/tty,with,commas ; not a comment"_s);
        QCOMPARE(w.ccom()->itemData(6, Qt::ToolTipRole).toString(), u"/dev/ttyUSB7"_s);
        QCOMPARE(AppSettings().portKey(4), "/dev/\xff\xfe-latin1"_ba);

        QTest::keyClick(w.ccom()->lineEdit(), Qt::Key_Up);
        QByteArray expected = QByteArray(kOdd).replace("\nCom=05\n", "\nCom=4\n");
        QCOMPARE(w.settings.readIni(), expected);
        w.trigger(u"mEng"_s);
        QCOMPARE(w.settings.readIni(), expected.replace("language = it\r", "language = en\r"));
    }
};

QTEST_MAIN(TstWindowSettings)
#include "tst_windowsettings.moc"
