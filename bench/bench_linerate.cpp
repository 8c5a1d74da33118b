// Cost of the receive path at line rate, in process: 115200 8N1 carries a 9-byte frame every
// 0.8 ms; a writer thread plays the adapter on a pseudo-terminal for 10 s while the link, the
// transcript and, in the second case, the terminal view (drawing offscreen at the size of the
// main window's text box) run as the program runs them. Prints the CPU the program's own
// threads used, as a share of one core, and how often the main thread went to sleep and woke.

#include "BenchStats.h"
#include "InterfaceLink.h"
#include "PtyAdapter.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QApplication>

#include <atomic>
#include <memory>
#include <sys/resource.h>
#include <time.h>

namespace {

constexpr int kRuns = 3;
constexpr int kSeconds = 10;
constexpr long kPeriodNs = 800'000;
const QByteArray kFrame = QByteArrayLiteral("*1*1*11##");

double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long voluntarySwitches()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

struct Figures
{
    double cpuPercent = 0;
    double wakeupsPerSecond = 0;
};

Figures run(bool withView)
{
    Adapter adapter;
    InterfaceLink link(TranscriptModel::kDefaultLimit);
    TranscriptModel transcript;
    std::unique_ptr<TerminalView> view;
    if (withView) {
        view = std::make_unique<TerminalView>();
        view->resize(525, 441);
        view->setModel(&transcript);
        view->show();
    }
    qint64 receivedBytes = 0;
    QObject::connect(&link, &InterfaceLink::frameReceived, [&](const QString &frame) {
        transcript.appendFrame(frame);
        receivedBytes += frame.size();
    });
    if (!adapter.connect(link))
        std::exit(1);
    receivedBytes = 0; // the probe's answer is not part of the stream

    const int frames = int(kSeconds * 1'000'000'000LL / kPeriodNs);
    std::atomic<bool> done{false};
    double writerCpu = 0;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    const long switchesBefore = voluntarySwitches();
    QElapsedTimer wall;
    wall.start();
    std::thread writer([&] {
        timespec due{};
        ::clock_gettime(CLOCK_MONOTONIC, &due);
        for (int i = 0; i < frames; ++i) {
            due.tv_nsec += kPeriodNs;
            if (due.tv_nsec >= 1'000'000'000L) {
                due.tv_nsec -= 1'000'000'000L;
                ++due.tv_sec;
            }
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
            adapter.write(kFrame);
        }
        writerCpu = cpuSeconds(RUSAGE_THREAD);
        done = true;
    });
    const qint64 expected = qint64(frames) * kFrame.size();
    runUntil([&] { return done && receivedBytes >= expected; }, 60000);
    writer.join();
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const Figures figures{100.0 * (cpuSeconds(RUSAGE_SELF) - cpuBefore - writerCpu) / elapsed,
                          double(voluntarySwitches() - switchesBefore) / elapsed};
    if (receivedBytes != expected)
        std::fprintf(stderr, "only %lld of %lld bytes received\n", receivedBytes, expected);
    link.shutdown();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    printHeader("Line rate, a 9-byte frame every 0.8 ms for 10 s: CPU of the program's threads",
                "% of one core");
    // "link" or "view" runs that case alone, for a profiler.
    const QString only = app.arguments().value(1);
    BenchStats cpu[2], wakeups[2];
    for (int run = 0; run < kRuns; ++run) {
        for (int withView = 0; withView < 2; ++withView) {
            if (!only.isEmpty() && only != (withView ? u"view" : u"link"))
                continue;
            const Figures figures = ::run(withView != 0);
            cpu[withView].add(figures.cpuPercent);
            wakeups[withView].add(figures.wakeupsPerSecond);
        }
    }
    printRow(QStringLiteral("link and transcript"), cpu[0]);
    printRow(QStringLiteral("link, transcript and text box"), cpu[1]);
    printHeader("The same: the main thread's wake-ups", "per second");
    printRow(QStringLiteral("link and transcript"), wakeups[0]);
    printRow(QStringLiteral("link, transcript and text box"), wakeups[1]);
    return 0;
}
