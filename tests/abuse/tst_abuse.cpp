// The program under abuse, through the real window and a real pseudo-terminal: a line that
// never ends a frame must not grow memory, and a flood must leave the window answering keys.

#include "Files.h"
#include "PtyWindow.h"

#include "DisplayText.h"
#include "TerminalView.h"

#include <QTest>
#include <QTimer>

namespace {

// AddressSanitizer holds freed memory back, so resident memory says nothing in such a build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeaningful = false;
#else
constexpr bool kMemoryIsMeaningful = true;
#endif

qint64 residentKb()
{
    for (const QByteArray &line : fileBytes(QStringLiteral("/proc/self/status")).split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Writes `total` bytes of `pattern` from another thread, as fast as the line takes them,
// while the window's event loop runs here.
void pushThroughLine(PtyPeer &peer, const QByteArray &pattern, qint64 total)
{
    QByteArray block;
    while (block.size() < 64 * 1024)
        block += pattern;
    peer.writeFlood(block, (total + block.size() - 1) / block.size());
    // Until the window has read what is still in flight.
    if (!QTest::qWaitFor([&] { return peer.unread() == 0; }, 30000))
        qWarning("the window left %lld bytes unread", qlonglong(peer.unread()));
    QCoreApplication::processEvents();
}

} // namespace

class TstAbuse : public QObject
{
    Q_OBJECT

    // The main window over the line, connected.
    std::unique_ptr<PtyWindow> m_connection;

private Q_SLOTS:
    void init()
    {
        m_connection = std::make_unique<PtyWindow>();
        QVERIFY(m_connection->connectAnswered());
    }
    void cleanup() { m_connection.reset(); }

    // A gigabyte on a line that never sends "##": memory stays flat and nothing is shown.
    void endlessLineKeepsMemoryFlat()
    {
        TestWindow &w = m_connection->w;
        PtyPeer &peer = m_connection->peer;
        const QString before = w.transcript();

        pushThroughLine(peer, "0123456789*", 16 * 1024 * 1024);
        const qint64 warm = residentKb();
        // A gigabyte takes about two minutes on a pseudo-terminal; slower builds (sanitizers)
        // may ask for less.
        const int asked = qEnvironmentVariableIntValue("TELVO_SOAK_MB");
        const qint64 megabytes = asked > 0 ? asked : 1024;
        pushThroughLine(peer, "0123456789*", megabytes * 1024 * 1024);
        const qint64 after = residentKb();
        qInfo("RSS after 16 MB: %lld kB, after %lld MB more: %lld kB (growth %lld kB)", warm,
              megabytes, after, after - warm);

        QCOMPARE(w.panel(1), QStringLiteral("Connection established"));
        QCOMPARE(w.transcript(), before);
        QVERIFY2(!kMemoryIsMeaningful || after - warm < 10 * 1024,
                 "memory grew with a line that never ends a frame");

        // The line still works: the pending characters end as one frame, a line longer than
        // the transcript (which it therefore empties), and the next frame shows as usual.
        peer.write("##");
        QTRY_VERIFY(w.transcript() != before);
        QCOMPARE(w.transcript(), QString());
        peer.write("*1*1*11##");
        QTRY_COMPARE(w.transcript(), QStringLiteral("*1*1*11##\r\n"));
    }

    // Two megabytes of frames as fast as the line takes them: nothing is lost, the window
    // still answers typed keys, and memory comes back to where it was.
    void floodLeavesWindowResponsive()
    {
        TestWindow &w = m_connection->w;
        PtyPeer &peer = m_connection->peer;

        pushThroughLine(peer, "*1*1*11##", 2 * 1024 * 1024);
        const qint64 before = residentKb();
        // Whatever the flood left in the buffer, a distinct frame afterwards ends the
        // transcript.
        peer.write("*9*9*99##");
        QTRY_VERIFY(w.transcript().endsWith(QLatin1String("*9*9*99##\r\n")));
        QVERIFY(w.transcript().size() <= 10000);

        const qsizetype sent = peer.received().size();
        QTest::keyClicks(w.trx(), QStringLiteral("*#1"));
        QVERIFY(peer.waitForReceived(sent + 3));
        QVERIFY(peer.received().endsWith("*#1"));
        QVERIFY(w.transcript().endsWith(QLatin1String("*#1")));

        w.trx()->flush();
        QCOMPARE(w.trx()->toPlainText(), displayText(w.transcript()));
        pushThroughLine(peer, "*1*1*11##", 2 * 1024 * 1024);
        QVERIFY2(!kMemoryIsMeaningful || residentKb() - before < 10 * 1024,
                 "memory grew with a second flood");
    }
};

QTEST_MAIN(TstAbuse)
#include "tst_abuse.moc"
