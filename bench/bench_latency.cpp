// Latency of the receive path where the user sees it: from the moment a frame's last byte is
// written on the far end of a pseudo-terminal to the end of the paint of the terminal view that
// shows it, through the link, the transcript and the view as the program uses them; beside it,
// the time to the transcript alone. A writer thread plays the adapter; the event loop runs as
// usual, the view draws offscreen at the size of the main window's text box.

#include "BenchStats.h"
#include "InterfaceLink.h"
#include "PtyAdapter.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QApplication>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 1000;
constexpr int kRuns = 3;

double milliseconds(Clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) / 1e6;
}

// Runs the view's paint itself, then notes when each frame not drawn before is in the
// document that was just drawn.
class PaintClock : public QObject
{
public:
    PaintClock(TerminalView &view, std::vector<Clock::time_point> &drawn)
        : m_view(view)
        , m_drawn(drawn)
    {
        view.viewport()->installEventFilter(this);
    }
    int drawnCount() const { return m_next; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        const Clock::time_point now = Clock::now();
        const QString shown = m_view.document()->toPlainText();
        while (m_next < int(m_drawn.size()) && shown.contains(frameText(m_next)))
            m_drawn[size_t(m_next++)] = now;
        return true;
    }

private:
    static QString frameText(int i) { return QStringLiteral("*1*%1*11##").arg(i); }

    TerminalView &m_view;
    std::vector<Clock::time_point> &m_drawn;
    int m_next = 0;
};

struct Pace
{
    const char *name;
    int minGapUs;
    int maxGapUs;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    for (const Pace pace : {Pace{"0.5 to 3 ms apart, about half the line rate", 500, 3000},
                            Pace{"10 to 50 ms apart", 10000, 50000}}) {
        printHeader(qPrintable(QStringLiteral("Frame latency, %1 frames %2: last byte written on "
                                              "the line to the frame in the transcript, and to "
                                              "the end of the paint that shows it")
                                   .arg(kFrames)
                                   .arg(QLatin1String(pace.name))),
                    "ms");
        BenchStats inModel, drawnMedians, drawnP99s, drawnWorsts;
        for (int run = 0; run < kRuns; ++run) {
            Adapter adapter;
            InterfaceLink link(TranscriptModel::kDefaultLimit);
            TranscriptModel transcript;
            TerminalView view;
            view.resize(525, 441);
            view.setModel(&transcript);
            view.show();
            if (!adapter.connect(link))
                return 1;

            // Each frame carries its number, so that frames that arrive in one read (and so
            // are shown on one line) are still timed one by one.
            std::vector<Clock::time_point> written(kFrames), received(kFrames), drawn(kFrames);
            std::atomic<int> receivedCount{0};
            PaintClock paints(view, drawn);
            QObject::connect(&link, &InterfaceLink::frameReceived, [&](const QString &frame) {
                transcript.appendFrame(frame);
                const Clock::time_point now = Clock::now();
                for (const QString &one : frame.split(QStringLiteral("##"), Qt::SkipEmptyParts)) {
                    bool ok = false;
                    const int i = one.section(QLatin1Char('*'), 2, 2).toInt(&ok);
                    if (ok && i >= 0 && i < kFrames) {
                        received[size_t(i)] = now;
                        ++receivedCount;
                    }
                }
            });

            std::atomic<bool> done{false};
            std::thread writer([&] {
                std::mt19937 random(unsigned(run) + 1);
                std::uniform_int_distribution<int> gapUs(pace.minGapUs, pace.maxGapUs);
                for (int i = 0; i < kFrames; ++i) {
                    std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
                    const QByteArray frame = "*1*" + QByteArray::number(i) + "*11##";
                    written[size_t(i)] = Clock::now();
                    adapter.write(frame);
                }
                done = true;
            });
            runUntil([&] { return done && paints.drawnCount() >= kFrames; }, 120000);
            writer.join();

            if (receivedCount != kFrames || paints.drawnCount() != kFrames)
                std::fprintf(stderr, "only %d received and %d drawn of %d frames\n",
                             int(receivedCount), paints.drawnCount(), kFrames);
            BenchStats model, screen;
            for (size_t i = 0; i < size_t(kFrames); ++i) {
                model.add(milliseconds(received[i] - written[i]));
                screen.add(milliseconds(drawn[i] - written[i]));
            }
            inModel.add(model.median());
            drawnMedians.add(screen.median());
            drawnP99s.add(screen.percentile(0.99));
            drawnWorsts.add(screen.max());
            link.shutdown();
        }
        printRow(QStringLiteral("in the transcript: median"), inModel);
        printRow(QStringLiteral("drawn: median"), drawnMedians);
        printRow(QStringLiteral("drawn: 99th percentile"), drawnP99s);
        printRow(QStringLiteral("drawn: worst of 1000"), drawnWorsts);
    }
    return 0;
}
