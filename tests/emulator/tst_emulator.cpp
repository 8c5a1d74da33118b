// Runs the adapter emulator as a separate process and talks to it through the device it
// serves, the way the terminal does.

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kTimeout = 3000; // for what must happen; never reached when all is well
constexpr int kQuiet = 100;    // how long "nothing more arrives" is watched
const QByteArray ack = "*#*1##";
const QByteArray nack = "*#*0##";

class Emulator
{
public:
    explicit Emulator(const QStringList &args)
    {
        proc.start(QStringLiteral(EMULATOR_PATH), args);
        if (proc.waitForStarted(kTimeout) && waitForOutput("\n"))
            device = QString::fromLocal8Bit(output.left(output.indexOf('\n')));
    }
    ~Emulator()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(kTimeout);
        }
    }
    // Waits for `text` to appear after what earlier calls have waited for.
    bool waitForOutput(const QByteArray &text)
    {
        qsizetype at;
        while ((at = output.indexOf(text, seen)) < 0) {
            if (!proc.waitForReadyRead(kTimeout))
                return false;
            output += proc.readAllStandardOutput();
        }
        seen = at + text.size();
        return true;
    }
    bool stop()
    {
        proc.terminate();
        return proc.waitForFinished(kTimeout) && proc.exitStatus() == QProcess::NormalExit &&
               proc.exitCode() == 0;
    }

    QProcess proc;
    QByteArray output;
    qsizetype seen = 0;
    QString device;
};

// The terminal's end of the line.
class Port
{
public:
    explicit Port(const QString &path) { open(path); }
    ~Port() { close(); }
    bool open(const QString &path)
    {
        fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd, TCSANOW, &tio);
        }
        return fd >= 0;
    }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    bool write(const QByteArray &data)
    {
        for (qsizetype done = 0; done < data.size();) {
            const ssize_t n = ::write(fd, data.constData() + done, data.size() - done);
            pollfd p{fd, POLLOUT, 0};
            if (n > 0)
                done += n;
            else if (errno != EAGAIN || poll(&p, 1, kTimeout) <= 0)
                return false;
        }
        return true;
    }
    // Reads until `count` bytes came or `ms` passed.
    QByteArray read(int count, int ms = kTimeout)
    {
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        while (data.size() < count && timer.elapsed() < ms) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, int(ms - timer.elapsed())) <= 0)
                break;
            char buf[256];
            const ssize_t n = ::read(fd, buf, std::min<qsizetype>(sizeof buf, count - data.size()));
            if (n <= 0)
                break;
            data.append(buf, n);
        }
        return data;
    }
    QByteArray quiet(int ms = kQuiet) { return read(INT_MAX, ms); }

    int fd = -1;
};

} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("command") << QByteArray("*1*1*11##") << ack;
        QTest::newRow("request") << QByteArray("*#1*11##") << ack;
        QTest::newRow("letter") << QByteArray("A##") << nack;
        QTest::newRow("no leading star") << QByteArray("#12##") << nack;
        QTest::newRow("space inside") << QByteArray("*1 1##") << nack;
        QTest::newRow("control byte") << QByteArray("*1\x01##") << nack;
        // All that arrived at once ends with "##": one frame, one answer.
        QTest::newRow("two frames at once") << QByteArray("*1##*2##") << ack;
        QTest::newRow("good and bad at once") << QByteArray("*1##A##") << nack;
    }

    void answers()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        Emulator emu({});
        Port port(emu.device);
        QVERIFY(port.write(sent));
        QCOMPARE(port.read(answer.size()), answer);
        QCOMPARE(port.quiet(), QByteArray());
    }

    void collectsUntilTheEnd()
    {
        Emulator emu({});
        Port port(emu.device);
        for (const QByteArray part : {"*1", "2#"}) {
            QVERIFY(port.write(part));
            QCOMPARE(port.quiet(), QByteArray());
        }
        QVERIFY(port.write("#"));
        QCOMPARE(port.read(6), ack);
        QCOMPARE(port.quiet(), QByteArray());

        // Too long to keep: the front is cut, so the frame cannot be well formed any more.
        QVERIFY(port.write(QByteArray(70 * 1024, '*') + "##"));
        QCOMPARE(port.read(6), nack);
        QVERIFY(port.write("*1##"));
        QCOMPARE(port.read(6), ack);
    }

    void silentDelayedAndSplitAnswers()
    {
        {
            Emulator emu({"--silent"});
            Port port(emu.device);
            QVERIFY(port.write("*1##"));
            QCOMPARE(port.quiet(300), QByteArray());
        }
        {
            // A second frame while the first answer waits: both come, in order, each delayed.
            Emulator emu({"--delay", "400"});
            Port port(emu.device);
            QElapsedTimer timer;
            timer.start();
            QVERIFY(port.write("*1##"));
            QCOMPARE(port.quiet(100), QByteArray());
            QVERIFY(port.write("A##"));
            QCOMPARE(port.read(6), ack);
            QVERIFY(timer.elapsed() >= 400);
            QCOMPARE(port.read(6), nack);
            QVERIFY(timer.elapsed() >= 500);
            QVERIFY2(timer.elapsed() < 800, "the delay of one answer held up the next");
        }
        {
            Emulator emu({"--split"});
            Port port(emu.device);
            QVERIFY(port.write("*1##"));
            QCOMPARE(port.read(1), "*");
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(port.read(5), "#*1##");
            QVERIFY(timer.elapsed() >= 8); // five more bytes, 2 ms apart
        }
    }

    void events()
    {
        const QByteArray on = "*1*1*11##", off = "*1*0*11##";
        Emulator emu({"--events", "30"});
        Port port(emu.device);
        QCOMPARE(port.read(4 * on.size()), on + off + on + off);
    }

    void reopening()
    {
        Emulator emu({"--delay", "200", "--log"});
        Port port(emu.device);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(port.write("*1##"));
            QCOMPARE(port.read(6), ack);
            port.close();
            QVERIFY(port.open(emu.device));
        }
        // What the previous user of the port left behind, an unfinished frame or a pending
        // answer, must not reach the next one.
        QVERIFY(port.write("A##"));
        QVERIFY(emu.waitForOutput("<- A##"));
        port.close();
        QVERIFY(emu.waitForOutput("port closed"));
        QVERIFY(port.open(emu.device));
        QVERIFY(port.write("A"));
        QVERIFY(emu.waitForOutput("port opened"));
        port.close();
        QVERIFY(emu.waitForOutput("port closed"));
        QVERIFY(port.open(emu.device));
        QVERIFY(port.write("*1##"));
        QCOMPARE(port.read(6), ack);
    }

    void hangUp()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("adapter");
        Emulator emu({"--hangup-after", "300", "--link", link});
        QVERIFY(QFileInfo(link).isSymLink());
        Port port(emu.device);
        pollfd p{port.fd, POLLIN, 0};
        QVERIFY(poll(&p, 1, kTimeout) == 1);
        char byte;
        QVERIFY((p.revents & POLLHUP) || ::read(port.fd, &byte, 1) <= 0);
        QVERIFY(emu.proc.waitForFinished(kTimeout));
        QCOMPARE(emu.proc.exitStatus(), QProcess::NormalExit);
        QCOMPARE(emu.proc.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    void link()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("adapter");
        QVERIFY(QFile::link("/nonexistent", link)); // a stale link from an earlier run
        {
            Emulator emu({"--link", link});
            QCOMPARE(QFileInfo(link).symLinkTarget(), emu.device);
            Port port(link);
            QVERIFY(port.write("*1##"));
            QCOMPARE(port.read(6), ack);
            QVERIFY(emu.stop());
            QVERIFY(!QFileInfo(link).isSymLink());
        }
        const QString file = dir.filePath("file");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep") == 4);
        f.close();
        QProcess proc;
        proc.start(EMULATOR_PATH, {"--link", file});
        QVERIFY(proc.waitForFinished(kTimeout));
        QCOMPARE(proc.exitCode(), 1);
        QVERIFY(!QFileInfo(file).isSymLink() && QFileInfo(file).size() == 4);
    }

    void log()
    {
        Emulator emu({"--log"});
        Port port(emu.device);
        QVERIFY(port.write("*1\x01\\##"));
        QCOMPARE(port.read(6), nack);
        QVERIFY(emu.waitForOutput("-> *#*0##\n"));
        QVERIFY(emu.output.contains(" <- *1\\x01\\\\##\n"));
        QVERIFY(emu.stop());
    }

    void commandLine()
    {
        QProcess proc;
        proc.start(EMULATOR_PATH, {"--help"});
        QVERIFY(proc.waitForFinished(kTimeout));
        QCOMPARE(proc.exitCode(), 0);
        const QByteArray help = proc.readAllStandardOutput();
        for (const char *option : {"--device", "--link", "--silent", "--delay", "--split",
                                   "--events", "--hangup-after", "--log", "--help"})
            QVERIFY2(help.contains(option), option);

        for (const QStringList &bad : {QStringList{"--bogus"}, QStringList{"--delay", "soon"},
                                       QStringList{"--events", "0"}, QStringList{"extra"}}) {
            proc.start(EMULATOR_PATH, bad);
            QVERIFY(proc.waitForFinished(kTimeout));
            QCOMPARE(proc.exitCode(), 2);
            QVERIFY(proc.readAllStandardOutput().isEmpty());
            QVERIFY(proc.readAllStandardError().contains("Usage:"));
        }
    }
};

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
