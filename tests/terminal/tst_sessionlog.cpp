// The session log: the shape of its lines, the escaping, the gathering of typed keys, and
// files that are appended to or that cannot be written.

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
        QTest::newRow("a frame stays") << "*#13**15##"_ba
                                       << "*#13**15##"_ba;
        QTest::newRow("blank and tilde stay") << " ~!"_ba
                                              << " ~!"_ba;
        QTest::newRow("CR LF") << "a\r\nb"_ba
                               << "a\\x0D\\x0Ab"_ba;
        QTest::newRow("NUL") << QByteArray("\0#", 2) << "\\x00#"_ba;
        QTest::newRow("TAB and 0x1F") << "\t\x1f"_ba
                                      << "\\x09\\x1F"_ba;
        QTest::newRow("backslash") << "\\x41"_ba
                                   << "\\x5Cx41"_ba;
        QTest::newRow("DEL, 0x80, 0xAB, 0xFF") << "\x7f\x80\xab\xff"_ba
                                               << "\\x7F\\x80\\xAB\\xFF"_ba;
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

    void line_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("line");
        const QDate day(2024, 3, 9);
        QTest::newRow("RX") << QDateTime(day, QTime(7, 5, 3, 42)) << int(SessionLog::Kind::Received)
                            << "2024-03-09 07:05:03.042\tRX\t*#*1##\n"_ba;
        QTest::newRow("TX") << QDateTime(day, QTime(23, 59, 59, 999)) << int(SessionLog::Kind::Sent)
                            << "2024-03-09 23:59:59.999\tTX\t*#*1##\n"_ba;
        QTest::newRow("--") << QDateTime(day, QTime(0, 0)) << int(SessionLog::Kind::Event)
                            << "2024-03-09 00:00:00.000\t--\t*#*1##\n"_ba;
    }
    void line()
    {
        QFETCH(QDateTime, when);
        QFETCH(int, kind);
        QFETCH(QByteArray, line);
        QCOMPARE(SessionLog::line(when, SessionLog::Kind(kind), "*#*1##"), line);
    }

    // Typed keys wait for their frame's end or for the next record; nothing already in the
    // file is touched, and a second log on it goes on at its end.
    void appendsInOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"session.log"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier\n") == 8);
        old.close();
        SessionLog log;
        QVERIFY(log.open(path, nullptr));
        for (char key : "*#1"_ba)
            log.typed(key);
        QVERIFY(log.flush(nullptr));
        QCOMPARE(QFileInfo(path).size(), 8);
        log.received(u"*#*1##\r"_s);
        for (char key : "*99##5"_ba)
            log.typed(key);
        QVERIFY(log.flush(nullptr));
        log.sent("*#13**15##");
        log.event(u"Connessione è chiusa"_s);
        QVERIFY(log.close(nullptr));
        QVERIFY(log.open(path, nullptr));
        log.event(u"again"_s);
        QVERIFY(log.close(nullptr));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(), "earlier\n"_ba);
        QStringList records;
        QDateTime last;
        const QRegularExpression shape(
            u"^(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3})\\t(.*)\\n$"_s);
        while (!file.atEnd()) {
            const QRegularExpressionMatch m = shape.match(QLatin1String(file.readLine()));
            QVERIFY(m.hasMatch());
            const QDateTime when =
                QDateTime::fromString(m.captured(1), u"yyyy-MM-dd HH:mm:ss.zzz"_s);
            QVERIFY(when.isValid() && (last.isNull() || when >= last));
            last = when;
            records << m.captured(2);
        }
        QCOMPARE(records, QStringList({u"TX\t*#1"_s, u"RX\t*#*1##\\x0D"_s, u"TX\t*99##"_s,
                                       u"TX\t5"_s, u"TX\t*#13**15##"_s,
                                       u"--\tConnessione \\xC3\\xA8 chiusa"_s, u"--\tagain"_s}));
    }

    // The system's reason; the log is closed and takes nothing more.
    void failure_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a full disk") << u"/dev/full"_s << true << u"No space left on device"_s;
        QTest::newRow("no such folder")
            << u"/nonexistent/x.log"_s << false << u"No such file or directory"_s;
    }
    void failure()
    {
        QFETCH(QString, path);
        QFETCH(bool, opens);
        QFETCH(QString, reason);
        if (opens && !QFile::exists(path))
            QSKIP("no /dev/full here");
        SessionLog log;
        QString error;
        QCOMPARE(log.open(path, &error), opens);
        if (opens) {
            log.received(u"*#*1##"_s);
            QVERIFY(!log.flush(&error));
            QVERIFY(!log.isOpen());
            log.event(u"more"_s);
            QVERIFY(log.flush(nullptr));
        }
        QCOMPARE(error, reason);
    }
};

QTEST_GUILESS_MAIN(TstSessionLog)
#include "tst_sessionlog.moc"
