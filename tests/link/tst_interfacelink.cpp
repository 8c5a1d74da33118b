// The link to the adapter over a pseudo-terminal whose far end (answering from its own thread
// the moment the probe arrives) the test plays, or against the project's emulator; output
// suspended on the device (what flow control and a slow adapter do) holds what was written
// until the line takes it again.

#include "Emulator.h"
#include "InterfaceLink.h"
#include "PtyPeer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kProbe = PtyPeer::kProbe, kAck = PtyPeer::kAck;
using Reason = InterfaceLink::FailReason;

// What the link reports, in order, as short texts.
struct Reports : QStringList
{
    explicit Reports(InterfaceLink &link)
    {
        using L = InterfaceLink;
        const auto note = [&](auto signal, const QString &text) {
            QObject::connect(&link, signal, [this, text] { *this << text; });
        };
        note(&L::probeSent, u"probe"_s);
        note(&L::disconnected, u"disconnected"_s);
        note(&L::sendFailed, u"send failed"_s);
        QObject::connect(&link, &L::connected, [this] {
            *this << u"connected"_s;
            connectedAfterMs = sinceStart.elapsed();
        });
        QObject::connect(&link, &L::connectFailed, [this](Reason reason, const CommError &e) {
            *this << (reason == Reason::ErrorOpenCom ? u"error open com"_s : u"not found"_s) +
                         (e.failed() ? u" + box"_s : QString());
            failedAfterMs = sinceStart.elapsed();
        });
        QObject::connect(&link, &L::frameReceived,
                         [this](const QString &f) { *this << u"frame "_s + f; });
        QObject::connect(&link, &L::lineFailed, [this](const CommError &e) {
            *this << u"line failed: "_s + e.description;
        });
        sinceStart.start();
    }
    // Waits until `report` has been made `times` times in all; false if it never is.
    bool waitFor(const QString &report, qsizetype times = 1) const
    {
        return QTest::qWaitFor([&] { return count(report) >= times; }, kTimeout);
    }
    QElapsedTimer sinceStart;
    qint64 connectedAfterMs = -1, failedAfterMs = -1;
};

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

class TestInterfaceLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<InterfaceLink> m_link;

    bool closed() const
    {
        return m_link->state() == InterfaceLink::State::Closed && !m_link->isPortOpen() &&
               !m_link->interfaceAnswered();
    }
    // Connects to the peer, which answers the probe at once.
    bool connectAnswered(Reports &reports)
    {
        const qsizetype before = reports.count(u"connected"_s);
        m_peer->setAnswer(kProbe, kAck);
        m_link->ConnectInterface(m_peer->devicePath());
        return reports.waitFor(u"connected"_s, before + 1) && m_link->interfaceAnswered();
    }
private Q_SLOTS:
    void init()
    {
        m_peer = std::make_unique<PtyPeer>();
        QVERIFY(m_peer->isValid());
        m_link = std::make_unique<InterfaceLink>(10000);
    }
    void cleanup() { m_link.reset(); }

    void answered()
    {
        Reports reports(*m_link);
        QSignalSpy ticks(m_link.get(), &InterfaceLink::clockTicked);
        QVERIFY(connectAnswered(reports));
        QCOMPARE(reports, (QStringList{u"probe"_s, u"frame *#*1##"_s, u"connected"_s}));
        // The wait lasts its tenth of a second although the answer came at once.
        QVERIFY2(reports.connectedAfterMs >= 100,
                 qPrintable(QString::number(reports.connectedAfterMs)));
        QCOMPARE(m_peer->received(), kProbe); // the probe, nothing before or after it
        // The first tick, and what the window shows of it, is checked through the window.
        QVERIFY(ticks.wait(2000));

        // Half a frame received before a disconnect is shown in front of the next one.
        m_peer->write("*1*1");
        QTRY_COMPARE_WITH_TIMEOUT(m_link->rxBuffer(), u"*1*1"_s, kTimeout);
        m_link->Disconnect();
        QCOMPARE(reports.last(), u"disconnected"_s);
        QVERIFY(closed());
        m_link->Disconnect(); // closed already: nothing
        QCOMPARE(reports.count(u"disconnected"_s), 1);
        QVERIFY(!ticks.wait(1200)); // the clock stopped with the line
        QCOMPARE(m_link->clock().text(u"T"_s), u"T: 00.00.01"_s);
        QVERIFY(connectAnswered(reports)); // a new connection counts from zero
        QCOMPARE(m_link->clock().text(u"T"_s), u"T: 00.00.00"_s);
        QCOMPARE(reports.mid(reports.size() - 3),
                 (QStringList{u"probe"_s, u"frame *1*1*#*1##"_s, u"connected"_s}));
    }

    void notFound_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("late"); // written once the attempt has failed
        QTest::newRow("silent") << QByteArray() << false;
        QTest::newRow("no frame end") << QByteArray("*#*1#") << false;
        QTest::newRow("answer after the wait") << kAck << true;
    }
    void notFound()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, late);
        Reports reports(*m_link);
        if (!late)
            m_peer->setAnswer(kProbe, answer);
        m_link->ConnectInterface(m_peer->devicePath());
        QCOMPARE(m_link->state(), InterfaceLink::State::Probing);
        QVERIFY(reports.waitFor(u"not found"_s));
        QCOMPARE(reports, (QStringList{u"probe"_s, u"not found"_s}));
        QVERIFY(reports.failedAfterMs >= 100);
        QVERIFY(closed());
        // Half a frame waits in the receive buffer for its end.
        QTRY_COMPARE_WITH_TIMEOUT(m_link->rxBuffer(),
                                  late ? QString() : QString::fromLatin1(answer), kTimeout);

        // A late answer reaches a closed port; nor does the next attempt take it, queued
        // meanwhile, for its own.
        m_peer->setAnswer(kProbe, QByteArray());
        if (late)
            m_peer->write(answer);
        m_link->ConnectInterface(m_peer->devicePath());
        QVERIFY(reports.waitFor(u"not found"_s, 2));
        QCOMPARE(reports.mid(2), (QStringList{u"probe"_s, u"not found"_s}));
        QCOMPARE(m_link->rxBuffer(), late ? QString() : QString::fromLatin1(answer));
    }

    // Disconnect, or the window closing, in the middle of a probe; the answer either has not
    // come or has just come.
    void probeInterrupted_data()
    {
        QTest::addColumn<bool>("shutdown");
        QTest::addColumn<bool>("answered");
        for (bool shutdown : {false, true})
            for (bool answered : {false, true})
                QTest::addRow("%s, %s", shutdown ? "window closed" : "disconnect",
                              answered ? "answered" : "silent")
                    << shutdown << answered;
    }
    void probeInterrupted()
    {
        QFETCH(bool, shutdown);
        QFETCH(bool, answered);
        Reports reports(*m_link);
        bool interrupted = false;
        const auto interrupt = [&] {
            shutdown ? m_link->shutdown() : m_link->Disconnect();
            interrupted = true;
        };
        if (answered) {
            m_peer->setAnswer(kProbe, kAck);
            connect(m_link.get(), &InterfaceLink::frameReceived, this, interrupt);
        }
        m_link->ConnectInterface(m_peer->devicePath());
        if (!answered)
            interrupt();
        QTRY_VERIFY_WITH_TIMEOUT(interrupted, kTimeout);
        QVERIFY(!m_link->isPortOpen());
        if (!shutdown) {
            m_link->ConnectInterface(m_peer->devicePath()); // ignored while the attempt runs
            QVERIFY(!m_link->isPortOpen());
        }
        QStringList expected{u"probe"_s};
        if (answered)
            expected << u"frame *#*1##"_s;
        if (!shutdown) {
            expected << u"disconnected"_s << u"not found"_s; // after the full wait
            QVERIFY(reports.waitFor(u"not found"_s));
            QVERIFY(reports.failedAfterMs >= 100);
        } else {
            QVERIFY(!QTest::qWaitFor([&] { return reports.size() > expected.size(); }, kQuiet));
        }
        QCOMPARE(reports, expected);
        QVERIFY(closed());

        // The link is as good as new.
        disconnect(m_link.get(), &InterfaceLink::frameReceived, this, nullptr);
        QVERIFY(connectAnswered(reports));
    }

    void keyWaitsForTheLine()
    {
        Flow flow(m_peer->devicePath());
        Reports reports(*m_link);
        QVERIFY(connectAnswered(reports));
        QVERIFY(flow.suspend());
        QVERIFY(m_link->sendTyped(u'1') && m_link->sendTyped(u'2'));
        QVERIFY(!QTest::qWaitFor([&] { return reports.size() > 3; }, kQuiet)); // no failure
        QCOMPARE(m_peer->received(), kProbe); // held, not lost and not sent
        QVERIFY(flow.resume());
        QVERIFY(m_peer->waitForReceived(kProbe.size() + 2));
        QCOMPARE(m_peer->received(), kProbe + "12"); // in order, once each
        QVERIFY(m_link->state() == InterfaceLink::State::Connected && m_link->interfaceAnswered());
        QCOMPARE(reports.size(), 3);
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
        Flow flow(m_peer->devicePath());
        Reports reports(*m_link);
        m_peer->setAnswer(kProbe, kAck);
        QVERIFY(flow.suspend());
        m_link->ConnectInterface(m_peer->devicePath());
        QCOMPARE(m_link->state(), InterfaceLink::State::Probing);
        if (disconnect)
            m_link->Disconnect();
        QVERIFY(flow.resume());
        const QStringList expected =
            disconnect ? QStringList{u"probe"_s, u"disconnected"_s, u"not found"_s}
                       : QStringList{u"probe"_s, u"frame *#*1##"_s, u"connected"_s};
        QVERIFY(reports.waitFor(expected.last()));
        QCOMPARE(reports, expected);
        QVERIFY(!m_peer->waitForReceived(disconnect ? 1 : kProbe.size() + 1, kQuiet));
    }

    void emulator_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("answers at once") << QStringList();
        QTest::newRow("answers byte by byte") << QStringList{u"--split"_s};
    }
    // The answer to a frame typed key by key comes once its "##" is in, also in pieces.
    void emulator()
    {
        QFETCH(QStringList, args);
        if (!Emulator::built())
            QSKIP("built without the emulator");
        const Emulator emulator(args);
        Reports reports(*m_link);
        m_link->ConnectInterface(emulator.device);
        QVERIFY(reports.waitFor(u"connected"_s));
        for (QChar key : u"*1*1*11##"_s)
            QVERIFY(m_link->sendTyped(key));
        QVERIFY(QTest::qWaitFor([&] { return reports.count(u"frame *#*1##"_s) == 2; }, kTimeout));
    }
};

QTEST_GUILESS_MAIN(TestInterfaceLink)
#include "tst_interfacelink.moc"
