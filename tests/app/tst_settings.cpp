// The settings file: what is read from it, with its defaults. What the window writes to it
// is checked in tst_frmmain and tst_settingsfile.

#include "AppSettings.h"
#include "TestSettings.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class TstSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void read_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("com4"); // the device configured for COM 4
        QTest::newRow("no file: the defaults") << QByteArray() << 3 << u"it"_s << QString();
        QTest::newRow("Com 7, English")
            << "[Option]\nCom=7\nlanguage=en\n"_ba << 7 << u"en"_s << QString();
        QTest::newRow("Com 0 selects none") << "[Option]\nCom=0\n"_ba << 0 << u"it"_s << QString();
        QTest::newRow("Com 9") << "[Option]\nCom=9\n"_ba << 9 << u"it"_s << QString();
        for (const char *bad : {"abc", "12", "-1", "300", "", " ", "1a", "+1", "\xd9\xa3"})
            QTest::addRow("Com '%s' names no entry", bad)
                << "[Option]\nCom=" + QByteArray(bad) + "\n"
                << -1 << u"it"_s << QString();
        QTest::newRow("Com with blanks") << "[Option]\nCom= 5 \n"_ba << 5 << u"it"_s << QString();
        QTest::newRow("language kept as written")
            << "[Option]\nlanguage=IT\n"_ba << 3 << u"IT"_s << QString();
        QTest::newRow("a device") << "[Ports]\nCOM4=/dev/ttyUSB0\n"_ba << 3 << u"it"_s
                                  << u"/dev/ttyUSB0"_s;
        QTest::newRow("a device with commas") << "[Ports]\nCOM4=/dev/tty,with,commas\n"_ba << 3
                                              << u"it"_s << u"/dev/tty,with,commas"_s;
    }
    void read()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, port);
        QFETCH(QString, language);
        QFETCH(QString, com4);
        TestSettings files;
        if (!ini.isNull())
            files.writeIni(ini);
        AppSettings settings;
        QCOMPARE(settings.port(), port);
        QCOMPARE(settings.language(), language);
        QCOMPARE(settings.portDevice(4), com4);
        QCOMPARE(settings.portDevice(5), QString());
        QCOMPARE(files.readIni(), ini); // reading writes nothing
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
