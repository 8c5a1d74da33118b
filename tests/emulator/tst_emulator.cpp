// The adapter emulator, run as a separate process and talked to through the line it serves.

#include "Emulator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

const QByteArray ack = "*#*1##", nack = "*#*0##";

class TestEmulator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each write but the last meets silence; the answer comes `minMs` or more after the last.
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("minMs");
        const QStringList none;
        QTest::newRow("command") << none << QByteArrayList{"*1*1*11##"} << ack << 0;
        QTest::newRow("request") << none << QByteArrayList{"*#1*11##"} << ack << 0;
        QTest::newRow("letter") << none << QByteArrayList{"A##"} << nack << 0;
        QTest::newRow("no leading star") << none << QByteArrayList{"#12##"} << nack << 0;
        // All that arrived at once ends with "##": one frame, one answer.
        QTest::newRow("two frames at once") << none << QByteArrayList{"*1##*2##"} << ack << 0;
        QTest::newRow("good and bad at once") << none << QByteArrayList{"*1##A##"} << nack << 0;
        QTest::newRow("split frame") << none << QByteArrayList{"*1", "2#", "#"} << ack << 0;
        QTest::newRow("silent") << QStringList{"--silent"} << QByteArrayList{"*1##"} << QByteArray()
                                << 0;
        QTest::newRow("delayed, in order")
            << QStringList{"--delay", "300"} << QByteArrayList{"*1##", "A##"} << ack + nack << 300;
        QTest::newRow("byte by byte, 2 ms apart")
            << QStringList{"--split"} << QByteArrayList{"*1##"} << ack << 8;
    }
    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArrayList, writes);
        QFETCH(QByteArray, answer);
        QFETCH(int, minMs);
        Emulator emu(args, true);
        QElapsedTimer timer;
        for (qsizetype i = 0; i < writes.size(); ++i) {
            QVERIFY(i == 0 || emu.quiet().isEmpty());
            QVERIFY(emu.send(writes[i]));
            timer.start();
        }
        QCOMPARE(emu.receive(answer.size()), answer);
        QVERIFY2(timer.elapsed() >= minMs, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(emu.quiet(), QByteArray());
    }

    // What the previous user of the port left behind, a pending answer or an unfinished
    // frame, does not reach the next one, who is answered as usual.
    void reopening()
    {
        Emulator emu({"--delay", "200"}, true);
        QVERIFY(emu.send("A##") && emu.waitFor("<- A##") && emu.reopen());
        QVERIFY(emu.send("A") && emu.waitFor("port opened") && emu.reopen());
        QVERIFY(emu.send("*1##"));
        QCOMPARE(emu.receive(6), ack);
    }

    // Events alternate until the line is closed as by an unplugged adapter; then it exits.
    void eventsAndHangUp()
    {
        const QByteArray on = "*1*1*11##", off = "*1*0*11##";
        QTemporaryDir dir;
        const QString link = dir.filePath("adapter");
        QVERIFY(QFile::link("/nonexistent", link)); // a stale link from an earlier run
        Emulator emu({"--events", "30", "--hangup-after", "500", "--link", link}, true);
        QCOMPARE(QFileInfo(link).symLinkTarget(), emu.device);
        QCOMPARE(emu.receive(4 * on.size()), on + off + on + off);
        QVERIFY(emu.waitForFinished(kTimeout) && emu.exitStatus() == QProcess::NormalExit);
        QCOMPARE(emu.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void commandLine()
    {
        for (const QStringList &args : QList<QStringList>{
                 {"--help"}, {"--bogus"}, {"--delay", "soon"}, {"--events", "0"}, {"extra"}}) {
            QProcess proc;
            proc.start(EMULATOR_PATH, args);
            QVERIFY(proc.waitForFinished(kTimeout));
            // The usage: asked for, on standard output; after a mistake, on standard error.
            const bool help = args.first() == "--help";
            QCOMPARE(proc.exitCode(), help ? 0 : 2);
            const QByteArray out = proc.readAllStandardOutput(), err = proc.readAllStandardError();
            QVERIFY((help ? out : err).contains("Usage:") && (help ? err : out).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
