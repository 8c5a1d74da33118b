// A line that is busy or refused, over a pseudo-terminal: output suspended on the device (what
// flow control and a slow adapter do) holds what was written until the line takes it again,
// and only a real failure ends the link; open failures name the device and say what helps.

#include "InterfaceLink.h"
#include "PtyPeer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTimeout = 5000; // never reached when all is well
constexpr int kQuiet = 300;    // how long "nothing more happens" is watched
const QByteArray kProbe = "*#13**15##", kAck = "*#*1##";

// Suspends and resumes the output of the device the program opens, as tcflow() on it does.
struct Flow
{
    int fd;
    explicit Flow(const QString &device)
        : fd(::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~Flow() { ::close(fd); }
    bool suspend() const { return ::tcflow(fd, TCOOFF) == 0; }
    bool resume() const { return ::tcflow(fd, TCOON) == 0; }
};
} // namespace

class TestBusyLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyWaitsForTheLine()
    {
        PtyPeer peer;
        Flow flow(peer.devicePath());
        InterfaceLink link(10000);
        QSignalSpy connected(&link, &InterfaceLink::connected);
        QSignalSpy failed(&link, &InterfaceLink::lineFailed);
        QSignalSpy sendFailed(&link, &InterfaceLink::sendFailed);
        peer.setAnswer(kProbe, kAck);
        link.ConnectInterface(peer.devicePath());
        QVERIFY(connected.wait(kTimeout));

        QVERIFY(flow.suspend());
        QVERIFY(link.sendTyped(u'1'));
        QVERIFY(link.sendTyped(u'2'));
        QVERIFY(
            !QTest::qWaitFor([&] { return !failed.isEmpty() || !sendFailed.isEmpty(); }, kQuiet));
        QCOMPARE(peer.received(), kProbe); // held, not lost and not sent
        QVERIFY(flow.resume());
        QVERIFY(peer.waitForReceived(kProbe.size() + 2));
        QCOMPARE(peer.received(), kProbe + "12"); // in order, once each
        QCOMPARE(link.state(), InterfaceLink::State::Connected);
        QVERIFY(link.interfaceAnswered() && failed.isEmpty() && sendFailed.isEmpty());
    }

    // Output suspended while connecting: the probe waits for the line. Resumed at once, the
    // attempt succeeds; a Disconnect before the probe has gone out ends it as not found,
    // with no box, and the probe is never sent.
    void probeWaitsForTheLine_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("resumed") << false;
        QTest::newRow("disconnect before the probe is written") << true;
    }
    void probeWaitsForTheLine()
    {
        QFETCH(bool, disconnect);
        PtyPeer peer;
        Flow flow(peer.devicePath());
        InterfaceLink link(10000);
        QStringList reports;
        connect(&link, &InterfaceLink::connected, this, [&] { reports << u"connected"_s; });
        connect(&link, &InterfaceLink::disconnected, this, [&] { reports << u"disconnected"_s; });
        connect(&link, &InterfaceLink::connectFailed, this,
                [&](InterfaceLink::FailReason reason, const CommError &failure) {
                    reports << (reason == InterfaceLink::FailReason::InterfaceNotFound
                                    ? u"not found"_s
                                    : u"error open com"_s) +
                                   (failure.failed() ? u" + box"_s : QString());
                });
        peer.setAnswer(kProbe, kAck);
        QVERIFY(flow.suspend());
        link.ConnectInterface(peer.devicePath());
        QCOMPARE(link.state(), InterfaceLink::State::Probing);
        if (disconnect)
            link.Disconnect();
        QVERIFY(flow.resume());
        QVERIFY(QTest::qWaitFor(
            [&] { return !reports.isEmpty() && reports.last() != u"disconnected"_s; }, kTimeout));
        if (disconnect) {
            QCOMPARE(reports, (QStringList{u"disconnected"_s, u"not found"_s}));
            QVERIFY(!peer.waitForReceived(1, kQuiet));
        } else {
            QCOMPARE(reports, QStringList{u"connected"_s});
            QCOMPARE(peer.received(), kProbe);
        }
    }

    // The box for a device that cannot be opened says which device, and for a refused one
    // what would let the user in: joining the group only where the group may use it.
    void openFailureSaysWhy_data()
    {
        QTest::addColumn<QString>("device"); // empty: the pseudo-terminal, with `mode`
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("never");
        QTest::newRow("no such device")
            << u"/dev/ttyS-none"_s << 0 << u" : /dev/ttyS-none"_s << u"("_s;
        QTest::newRow("mode 000") << QString() << 0000 << u"let neither its group"_s
                                  << u"must belong"_s;
        QTest::newRow("group may use it")
            << QString() << 0660 << u"must belong to the group"_s << u"let neither"_s;
    }
    void openFailureSaysWhy()
    {
        QFETCH(QString, device);
        QFETCH(int, mode);
        QFETCH(QString, says);
        QFETCH(QString, never);
        PtyPeer peer;
        const bool root = ::geteuid() == 0;
        if (device.isEmpty()) {
            device = peer.devicePath();
            QVERIFY(::chmod(QFile::encodeName(device).constData(), mode_t(mode)) == 0);
            // The owner of the device may use it whatever its group may do; root may use all.
            if (mode & 0600 && !root)
                QSKIP("needs root to try the device as a user outside its group");
        }
        // As root, the attempt is made as "nobody", outside the device's group.
        if (root)
            QVERIFY(::setresgid(65534, 65534, 0) == 0 && ::setresuid(65534, 65534, 0) == 0);
        SerialComm comm;
        const CommError failure = comm.open(device, 115200);
        if (root)
            QVERIFY(::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0);
        QVERIFY(failure.failed());
        QVERIFY2(failure.description.contains(says), qPrintable(failure.description));
        QVERIFY2(!failure.description.contains(never), qPrintable(failure.description));
        if (device == peer.devicePath())
            QVERIFY2(failure.description.contains(device), qPrintable(failure.description));
    }
};

QTEST_GUILESS_MAIN(TestBusyLine)
#include "tst_busyline.moc"
