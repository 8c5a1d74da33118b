#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// When the terminal view draws. A change after a quiet spell is due at the next turn of the
// event loop; in a burst, the first change that comes kMinIntervalMs or more after the last
// draw is due with it, so that draws ride on the wake-ups that bring the bytes, and the end
// of a burst is due at most kMinIntervalMs + kTailMs after the draw before it. While lines
// come faster than a screenful per kMinIntervalMs, so that most of them scroll past unseen
// whatever the view does, draws are kOutpacedIntervalMs apart instead.
class DrawPacer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMinIntervalMs = 28;
    static constexpr int kTailMs = 10;
    static constexpr int kOutpacedIntervalMs = 100;

    explicit DrawPacer(QObject *parent = nullptr);

    // Something is to be drawn.
    void changed();
    // A draw begins, bringing newLines lines of the screen to a view screenLines high.
    void drawing(qsizetype newLines, int screenLines);
    bool isOutpaced() const { return m_outpaced; }

Q_SIGNALS:
    void due();

private:
    QTimer m_timer;
    QElapsedTimer m_sinceDraw;
    bool m_outpaced = false;
};
