// The program under abuse, through the real window and a real pseudo-terminal: a line that
// never ends a frame must not grow memory, and a flood must leave the window answering keys.

#include "ConnectedWindow.h"
#include "terminal/TerminalView.h"

#include <QAction>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

// AddressSanitizer holds freed memory back on purpose, so resident memory says nothing
// about leaks or growth in such a build; it checks memory in its own way.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeaningful = false;
#else
constexpr bool kMemoryIsMeaningful = true;
#endif

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Writes `total` bytes of `pattern` from another thread, as fast as the line takes them,
// while the window's event loop runs here.
void pushThroughLine(PtyPeer &peer, const QByteArray &pattern, qint64 total)
{
    QByteArray block;
    while (block.size() < 64 * 1024)
        block += pattern;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (qint64 sent = 0; sent < total; sent += block.size())
            peer.write(block);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    writer.join();
    // Let the window read what is still in flight.
    QTest::qWait(200);
}

} // namespace

class TstAbuse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); }

    // A gigabyte on a line that never sends "##": memory stays flat and nothing is shown.
    void endlessLineKeepsMemoryFlat()
    {
        ConnectedWindow connection;
        QVERIFY(connection.connected());
        FrmMain &window = *connection.window;
        PtyPeer &peer = connection.peer;
        const QString before = window.transcript().text();

        pushThroughLine(peer, "0123456789*", 16 * 1024 * 1024);
        const qint64 warm = residentKb();
        // A gigabyte takes about two minutes on a pseudo-terminal; slower builds (sanitizers)
        // may ask for less.
        const qint64 megabytes = qEnvironmentVariableIntValue("TELVO_SOAK_MB") > 0
                                     ? qEnvironmentVariableIntValue("TELVO_SOAK_MB")
                                     : 1024;
        pushThroughLine(peer, "0123456789*", megabytes * 1024 * 1024);
        const qint64 after = residentKb();
        qInfo("RSS after 16 MB: %lld kB, after %lld MB more: %lld kB (growth %lld kB)", warm,
              megabytes, after, after - warm);

        QVERIFY(window.link().isPortOpen());
        QCOMPARE(window.transcript().text(), before);
        QVERIFY(window.link().rxBuffer().size() <= 2 * window.transcript().limit() + 65536);
        QVERIFY2(!kMemoryIsMeaningful || after - warm < 10 * 1024,
                 "memory grew with a line that never ends a frame");

        // The line still works: the pending characters end as one frame, a line longer than
        // the transcript (which it therefore empties), and the next frame shows as usual.
        peer.write("##");
        QTRY_VERIFY(window.link().rxBuffer().isEmpty());
        QCOMPARE(window.transcript().text(), QString());
        peer.write("*1*1*11##");
        QTRY_COMPARE(window.transcript().text(), QStringLiteral("*1*1*11##\r\n"));
    }

    // Two megabytes of frames as fast as the line takes them: nothing is lost, the window
    // still answers typed keys, and memory comes back to where it was.
    void floodLeavesWindowResponsive()
    {
        ConnectedWindow connection;
        QVERIFY(connection.connected());
        FrmMain &window = *connection.window;
        PtyPeer &peer = connection.peer;

        pushThroughLine(peer, "*1*1*11##", 2 * 1024 * 1024);
        const qint64 before = residentKb();
        // Whatever the flood left in the buffer, a distinct frame afterwards ends the
        // transcript.
        peer.write("*9*9*99##");
        QTRY_VERIFY(window.transcript().text().endsWith(QLatin1String("*9*9*99##\r\n")));
        QVERIFY(window.transcript().text().size() <= window.transcript().limit());

        QTest::keyClicks(window.Trx(), QStringLiteral("*#1"));
        QCOMPARE(peer.read(3), QByteArray("*#1"));
        QVERIFY(window.transcript().text().endsWith(QLatin1String("*#1")));

        window.Trx()->flush();
        QCOMPARE(window.Trx()->toPlainText(),
                 TerminalView::displayText(window.transcript().text()));
        pushThroughLine(peer, "*1*1*11##", 2 * 1024 * 1024);
        QVERIFY2(!kMemoryIsMeaningful || residentKb() - before < 10 * 1024,
                 "memory grew with a second flood");
    }
};

QTEST_MAIN(TstAbuse)
#include "tst_abuse.moc"
