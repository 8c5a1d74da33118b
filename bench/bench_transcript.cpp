// Cost of one received frame with a full transcript: the model alone, the model with the
// terminal view, and, for reference, re-setting the whole text of a QPlainTextEdit per
// frame. Also the cost of one typed key through the real window.

#include "BenchStats.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

namespace {

constexpr int kRuns = 7;
constexpr int kFrames = 2000;
const QString kFrame = QStringLiteral("*1*1*11##\r\n");

void fill(TranscriptModel &model)
{
    while (model.text().size() < model.limit() - kFrame.size())
        model.append(kFrame);
    model.append(kFrame);
}

double modelAlone()
{
    TranscriptModel model;
    fill(model);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kFrames; ++i)
        model.append(kFrame);
    return double(t.nsecsElapsed()) / kFrames / 1000.0;
}

// A full transcript shown in a text box of the main window's size, drawn once.
struct FullView
{
    TranscriptModel model;
    TerminalView view;

    FullView()
    {
        fill(model);
        view.resize(525, 441);
        view.setModel(&model);
        view.show();
        view.flush();
        QCoreApplication::processEvents();
    }
};

// One frame per turn of the event loop, each drawn before the next: the slow end of what
// the view can meet at line rate.
double modelAndView(bool flushEach)
{
    FullView full;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kFrames; ++i) {
        full.model.append(kFrame);
        if (flushEach) {
            full.view.flush();
            full.view.viewport()->repaint();
        }
    }
    full.view.flush();
    full.view.viewport()->repaint();
    return double(t.nsecsElapsed()) / kFrames / 1000.0;
}

// As at line rate: a burst of frames, each one different, then the flush and the paint the
// event loop runs; the cost of one such draw.
double burstDrawn(int framesPerDraw)
{
    FullView full;
    const int draws = kFrames / 10;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < draws; ++i) {
        for (int f = 0; f < framesPerDraw; ++f)
            full.model.append(QStringLiteral("*1*%1*11##\r\n").arg(i * framesPerDraw + f));
        full.view.flush();
        QCoreApplication::processEvents();
    }
    return double(t.nsecsElapsed()) / draws / 1000.0;
}

double naiveSetText()
{
    TranscriptModel model;
    fill(model);
    QPlainTextEdit edit;
    edit.resize(525, 441);
    edit.show();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    const int frames = kFrames / 10;
    for (int i = 0; i < frames; ++i) {
        model.append(kFrame);
        edit.setPlainText(model.text());
        edit.viewport()->repaint();
    }
    return double(t.nsecsElapsed()) / frames / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    BenchStats alone, viewEach, viewBatched, naive, draw1, draw30;
    for (int run = 0; run < kRuns; ++run) {
        alone.add(modelAlone());
        viewEach.add(modelAndView(true));
        viewBatched.add(modelAndView(false));
        naive.add(naiveSetText());
        draw1.add(burstDrawn(1));
        draw30.add(burstDrawn(30));
    }
    printHeader("Cost of one received frame, transcript full (10000 characters)", "us");
    printRow(QStringLiteral("model alone"), alone);
    printRow(QStringLiteral("model + text box, drawn after every frame"), viewEach);
    printRow(QStringLiteral("model + text box, drawn once per burst"), viewBatched);
    printRow(QStringLiteral("reference: QPlainTextEdit::setPlainText per frame"), naive);
    printHeader("Cost of one draw of the text box, transcript full", "us");
    printRow(QStringLiteral("one frame since the last draw"), draw1);
    printRow(QStringLiteral("30 frames since the last draw (line rate, 24 ms apart)"), draw30);
    std::printf("\nratio naive / ours (drawn every frame): %.1f\n",
                naive.median() / viewEach.median());
    return 0;
}
