// The serial component over a pseudo-terminal whose far end the test plays: opening with the
// link's line settings or failing to open and saying why, bytes in, and a line that
// goes away.

#include "HangupCheck.h"
#include "PtyPeer.h"
#include "SerialComm.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

    // The port stays closed, and the reason names the device; for a refused one it says what
    // would let the user in: joining the group only where the group may use it.
    void openFails_data()
    {
        QTest::addColumn<QString>("device"); // "pty": the pseudo-terminal, given `mode`
        QTest::addColumn<int>("mode");       // -1: held by another program instead
        QTest::addColumn<QString>("says");   // %1: the device
        QTest::addColumn<QString>("never");
        QTest::newRow("no such device") << u"/dev/ttyS-none"_s << 0 << u" : %1"_s << u"("_s;
        QTest::newRow("no device chosen")
            << QString() << 0 << u"No serial port selected"_s << u"("_s;
        QTest::newRow("held by another program") << u"pty"_s << -1 << QString() << u"("_s;
        QTest::newRow("mode 000") << u"pty"_s << 0000
                                  << u"the permissions of %1 let neither its group"_s
                                  << u"must belong"_s;
        QTest::newRow("group may use it")
            << u"pty"_s << 0660 << u"to use %1 the user must belong to the group"_s
            << u"let neither"_s;
    }
    void openFails()
    {
        QFETCH(QString, device);
        QFETCH(int, mode);
        QFETCH(QString, says);
        QFETCH(QString, never);
        PtyPeer peer;
        QSerialPort holder(peer.devicePath());
        const bool refused = device == u"pty"_s && mode >= 0;
        const bool root = ::geteuid() == 0;
        if (device == u"pty"_s) {
            device = peer.devicePath();
            QVERIFY(refused ? ::chmod(QFile::encodeName(device).constData(), mode_t(mode)) == 0
                            : holder.open(QIODevice::ReadWrite));
            // The owner of the device may use it whatever its group may do; root may use all.
            if (refused && mode & 0600 && !root)
                QSKIP("needs root to try the device as a user outside its group");
        }
        // As root, a refused device is tried as "nobody", outside the device's group.
        if (refused && root)
            QVERIFY(::setresgid(65534, 65534, 0) == 0 && ::setresuid(65534, 65534, 0) == 0);
        SerialComm comm;
        const CommError failure = comm.open(device, 115200);
        if (refused && root)
            QVERIFY(::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0);
        QVERIFY(failure.failed() && !failure.description.isEmpty() && !comm.isOpen());
        const QString &why = failure.description;
        QVERIFY2(why.contains(says.replace(u"%1"_s, device)) && !why.contains(never),
                 qPrintable(why));
        QCOMPARE(holder.isOpen(), mode < 0); // the holder keeps it
    }

    void receivesEveryByte()
    {
        PtyPeer peer;
        SerialComm comm;
        QByteArray in;
        connect(&comm, &SerialComm::received, this, [&](const QByteArray &b) { in += b; });
        QVERIFY(!comm.open(peer.devicePath(), 115200).failed());
        QByteArray sent("\xe9\x00\xff*1##\r\n", 9); // every byte as it is
        peer.write(sent);
        QTRY_COMPARE_WITH_TIMEOUT(in, sent, kTimeout);
        // Bytes that come while a gather holds the line are passed on when it ends, a moment
        // later: ten frames, each written as the one before arrives and so each meeting a
        // gather, are all in long before two seconds, where a pause of 200 ms or more would
        // not be.
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 10; ++i) {
            sent += "*1*" + QByteArray::number(i) + "##";
            peer.write(sent.mid(in.size()));
            QTRY_COMPARE_WITH_TIMEOUT(in, sent, kTimeout);
        }
        QCOMPARE_LT(clock.elapsed(), 2000);
        // What goes out is checked by the link suite, whose probe must arrive as it is.
        comm.close();
        const CommError closed = comm.output("1");
        QVERIFY(closed.failed() && !closed.description.isEmpty());
    }

    // A line that brings more than one drain takes is read again at once, not after a
    // gather's pause: 4 MB come through in a few seconds at worst, where a pause of a second
    // after each 64 KB would take a minute.
    void floodReadWithoutPause()
    {
        PtyPeer peer;
        SerialComm comm;
        qsizetype got = 0;
        connect(&comm, &SerialComm::received, this, [&](const QByteArray &b) { got += b.size(); });
        QVERIFY(!comm.open(peer.devicePath(), 115200).failed());
        QElapsedTimer clock;
        clock.start();
        peer.writeFlood(QByteArray(64 * 1024, '1'), 64);
        QTRY_COMPARE_WITH_TIMEOUT(got, 4 * 1024 * 1024, 15000);
        QCOMPARE_LT(clock.elapsed(), 15000);
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
