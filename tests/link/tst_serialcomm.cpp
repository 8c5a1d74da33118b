// The serial component over a pseudo-terminal whose far end the test plays: opening with the
// link's line settings, bytes in and out, and a line that goes away.

#include "HangupCheck.h"
#include "PtyPeer.h"
#include "SerialComm.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kTimeout = 5000; // never reached when all is well
constexpr int kQuiet = 300;    // how long "nothing more happens" is watched
} // namespace

class TestSerialComm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithLineSettings()
    {
        PtyPeer peer;
        SerialComm comm;
        QVERIFY(!comm.open(peer.devicePath(), 115200).failed());
        QVERIFY(comm.isOpen());
        const termios line = peer.lineSettings(); // 115200 8N1, raw, no flow control
        QVERIFY(cfgetospeed(&line) == B115200 && cfgetispeed(&line) == B115200);
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        QCOMPARE(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
        QCOMPARE(line.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP), tcflag_t(0));
        QCOMPARE(line.c_oflag & OPOST, tcflag_t(0));
        const CommError again = comm.open(peer.devicePath(), 115200);
        QVERIFY(again.failed() && !again.description.isEmpty());
        comm.close();
        QVERIFY(!comm.isOpen());
    }

    void openFails_data()
    {
        QTest::addColumn<QString>("device"); // "peer": the pseudo-terminal, held by another
        QTest::newRow("no such device") << QStringLiteral("/dev/does-not-exist");
        QTest::newRow("no device chosen") << QString();
        QTest::newRow("held by another program") << QStringLiteral("peer");
    }
    void openFails()
    {
        QFETCH(QString, device);
        PtyPeer peer;
        QSerialPort holder(peer.devicePath());
        if (device == u"peer") {
            QVERIFY(holder.open(QIODevice::ReadWrite));
            device = peer.devicePath();
        }
        SerialComm comm;
        const CommError failure = comm.open(device, 115200);
        QVERIFY(failure.failed());
        QVERIFY(!failure.description.isEmpty());
        QVERIFY(!comm.isOpen());
        QCOMPARE(holder.isOpen(), device == peer.devicePath()); // the holder keeps it
    }

    void bytesBothWays()
    {
        PtyPeer peer;
        SerialComm comm;
        QByteArray in;
        connect(&comm, &SerialComm::received, this, [&](const QByteArray &b) { in += b; });
        QVERIFY(!comm.open(peer.devicePath(), 115200).failed());
        const QByteArray bytes("\xe9\x00\xff*1##\r\n", 9); // every byte as it is
        peer.write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(in, bytes, kTimeout);

        QVERIFY(!comm.output("*#13**15##").failed());
        QVERIFY(peer.waitForReceived(10));
        QCOMPARE(peer.received(), QByteArray("*#13**15##"));

        comm.close();
        const CommError closed = comm.output("1");
        QVERIFY(closed.failed() && !closed.description.isEmpty());
    }

    // Nothing but the check watches the raw handle here: no port layer could notice.
    void hangupCheckAlone()
    {
        PtyPeer peer;
        const int fd = ::open(QFile::encodeName(peer.devicePath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        HangupCheck check;
        QSignalSpy hungUp(&check, &HangupCheck::lineHungUp);
        check.start(fd);
        QVERIFY(!HangupCheck::hungUp(fd));
        QVERIFY(!hungUp.wait(kQuiet));
        peer.hangUp();
        QVERIFY(HangupCheck::hungUp(fd));
        QVERIFY(hungUp.wait(1000)); // within a second
        QVERIFY(!hungUp.wait(kQuiet));
        QCOMPARE(hungUp.count(), 1);
        ::close(fd);
    }

    // However the loss is noticed, it is reported once, after the port has been closed.
    void lineLostOnce()
    {
        PtyPeer peer;
        SerialComm comm;
        QList<CommError> failures;
        bool closedWhenReported = false;
        connect(&comm, &SerialComm::lineFailed, this, [&](const CommError &f) {
            failures << f;
            closedWhenReported = !comm.isOpen();
        });
        QVERIFY(!comm.open(peer.devicePath(), 115200).failed());
        peer.hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, 1000);
        QVERIFY(!QTest::qWaitFor([&] { return failures.size() > 1; }, kQuiet));
        QVERIFY(failures[0].failed() && closedWhenReported && !comm.isOpen());
        QCOMPARE(failures[0].description, QStringLiteral("The device was disconnected"));
        QCOMPARE(failures[0].number, int(QSerialPort::ResourceError)); // whichever noticed it
    }
};

QTEST_GUILESS_MAIN(TestSerialComm)
#include "tst_serialcomm.moc"
