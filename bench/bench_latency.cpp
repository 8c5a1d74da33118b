// Latency of the receive path: from the moment a frame's last byte is written on the far end
// of a pseudo-terminal to the moment the frame is in the transcript of the real main window.
// A writer thread plays the adapter; the window runs its event loop as usual.

#include "BenchStats.h"
#include "ConnectedWindow.h"
#include "terminal/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 1000;
constexpr int kRuns = 3;

double microseconds(Clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk"));

    printHeader("Frame latency: last byte written on the line to frame in the transcript "
                "(1000 frames, 0.5 to 3 ms apart)",
                "ms");
    BenchStats medians, p99s, worsts;
    for (int run = 0; run < kRuns; ++run) {
        ConnectedWindow connection;
        if (!connection.connected()) {
            std::fprintf(stderr, "the window did not connect\n");
            return 1;
        }
        FrmMain &window = *connection.window;
        PtyPeer &peer = connection.peer;

        // Each frame carries its number, so that frames that arrive in one read (and so
        // are shown on one line) are still timed one by one.
        std::vector<Clock::time_point> written(kFrames), shown(kFrames);
        std::atomic<int> shownCount{0};
        QObject::connect(&window.link(), &InterfaceLink::frameReceived, [&](const QString &line) {
            const Clock::time_point now = Clock::now();
            for (const QString &frame : line.split(QStringLiteral("##"), Qt::SkipEmptyParts)) {
                bool ok = false;
                const int i = frame.section(QLatin1Char('*'), 2, 2).toInt(&ok);
                if (ok && i >= 0 && i < kFrames) {
                    shown[size_t(i)] = now;
                    ++shownCount;
                }
            }
        });

        std::atomic<bool> done{false};
        std::thread writer([&] {
            std::mt19937 random(unsigned(run) + 1);
            std::uniform_int_distribution<int> gapUs(500, 3000);
            for (int i = 0; i < kFrames; ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
                const QByteArray frame = "*1*" + QByteArray::number(i) + "*11##";
                written[size_t(i)] = Clock::now();
                peer.write(frame);
            }
            done = true;
        });
        QElapsedTimer limit;
        limit.start();
        while ((!done || shownCount < kFrames) && limit.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        writer.join();

        BenchStats latency;
        for (size_t i = 0; i < size_t(kFrames); ++i)
            latency.add(microseconds(shown[i] - written[i]) / 1000.0);
        if (shownCount != kFrames)
            std::fprintf(stderr, "only %d of %d frames arrived\n", int(shownCount), kFrames);
        medians.add(latency.median());
        p99s.add(latency.percentile(0.99));
        worsts.add(latency.max());
    }
    printRow(QStringLiteral("median"), medians);
    printRow(QStringLiteral("99th percentile"), p99s);
    printRow(QStringLiteral("worst"), worsts);

    // One typed key through the window: the filter, the echo into the transcript and the
    // one-byte write on the line.
    BenchStats keyCost;
    {
        ConnectedWindow connection;
        FrmMain &window = *connection.window;
        PtyPeer &peer = connection.peer;
        constexpr int kKeys = 2000;
        for (int run = 0; run < 7; ++run) {
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < kKeys; ++i) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
                QCoreApplication::sendEvent(window.Trx(), &press);
            }
            keyCost.add(double(t.nsecsElapsed()) / kKeys / 1000.0);
            peer.read(kKeys, 5000);
        }
    }
    printHeader("Cost of one typed key (filter, echo, one-byte write)", "us");
    printRow(QStringLiteral("key press"), keyCost);
    return 0;
}
