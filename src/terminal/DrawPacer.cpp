#include "DrawPacer.h"

DrawPacer::DrawPacer(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &DrawPacer::due);
}

void DrawPacer::changed()
{
    const int interval = m_outpaced ? kOutpacedIntervalMs : kMinIntervalMs;
    const qint64 since = m_sinceDraw.isValid() ? m_sinceDraw.elapsed() : interval;
    if (since >= interval) {
        if (!m_timer.isActive() || m_timer.remainingTime() > 0)
            m_timer.start(0);
    } else if (!m_timer.isActive()) {
        m_timer.start(int(interval - since + kTailMs));
    }
}

void DrawPacer::drawing(qsizetype newLines, int screenLines)
{
    m_timer.stop();
    const qint64 since = m_sinceDraw.isValid() ? m_sinceDraw.elapsed() : 0;
    m_sinceDraw.start();
    // Lines that come faster than a screenful per kMinIntervalMs scroll past between two
    // draws unseen however often the view draws.
    m_outpaced = since > 0 && newLines * kMinIntervalMs > qMax(1, screenLines) * since;
}
