// The session log: the shape of its lines, the escaping and the gathering of typed keys.

#include "SessionLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstSessionLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("escaped");
        const char *const rows[][3] = {
            {"a frame stays", "*#13**15##", "*#13**15##"},
            {"blank and tilde stay", " ~!", " ~!"},
            {"CR LF", "a\r\nb", "a\\x0D\\x0Ab"},
            {"TAB and 0x1F", "\t\x1f", "\\x09\\x1F"},
            {"backslash", "\\x41", "\\x5Cx41"},
            {"DEL, 0x80, 0xAB, 0xFF", "\x7f\x80\xab\xff", "\\x7F\\x80\\xAB\\xFF"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QByteArray(row[2]);
        QTest::newRow("NUL") << QByteArray("\0#", 2) << "\\x00#"_ba;
    }

    // Escaped, and back; every byte there is gives plain ASCII that comes back whole.
    void escape()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, escaped);
        QCOMPARE(SessionLog::escape(bytes), escaped);
        QCOMPARE(SessionLog::unescape(escaped), bytes);
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every += char(b);
        const QByteArray text = SessionLog::escape(every);
        QVERIFY(QRegularExpression(u"^[\\x20-\\x7E]*$"_s).match(QLatin1String(text)).hasMatch());
        QCOMPARE(SessionLog::unescape(text), every);
    }

    // Typed keys wait for their frame's end or for the next record, each record one line.
    void gathersTypedKeys()
    {
        QCOMPARE(SessionLog::line(QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3, 42)),
                                  SessionLog::Kind::Event, "a\tb"),
                 "2024-03-09 07:05:03.042\t--\ta\\x09b\n"_ba);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"session.log"_s);
        SessionLog log;
        QVERIFY(log.open(path, nullptr));
        for (char key : "*#1"_ba)
            log.typed(key);
        QVERIFY(log.flush(nullptr));
        QCOMPARE(QFileInfo(path).size(), 0);
        log.received(u"*#*1##\r"_s);
        for (char key : "*99##5"_ba)
            log.typed(key);
        QVERIFY(log.flush(nullptr));
        log.sent("*#13**15##");
        log.event(u"Connessione è chiusa"_s);
        log.typed('7');
        QVERIFY(log.close(nullptr));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList records;
        while (!file.atEnd())
            records << QString::fromLatin1(file.readLine()).mid(24);
        QCOMPARE(records, QStringList({u"TX\t*#1\n"_s, u"RX\t*#*1##\\x0D\n"_s, u"TX\t*99##\n"_s,
                                       u"TX\t5\n"_s, u"TX\t*#13**15##\n"_s,
                                       u"--\tConnessione \\xC3\\xA8 chiusa\n"_s, u"TX\t7\n"_s}));
    }
};

QTEST_GUILESS_MAIN(TstSessionLog)
#include "tst_sessionlog.moc"
