#include "TranscriptScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

TranscriptScrollBar::TranscriptScrollBar(QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
}

void TranscriptScrollBar::hold()
{
    m_held = true;
    m_changedWhileHeld = false;
}

void TranscriptScrollBar::release()
{
    m_held = false;
    if (m_changedWhileHeld && look() != m_drawn)
        update();
}

void TranscriptScrollBar::sliderChange(SliderChange change)
{
    if (m_held && (change == SliderRangeChange || change == SliderValueChange)) {
        m_changedWhileHeld = true;
        return;
    }
    QScrollBar::sliderChange(change);
}

void TranscriptScrollBar::paintEvent(QPaintEvent *event)
{
    m_drawn = look();
    QScrollBar::paintEvent(event);
}

TranscriptScrollBar::Look TranscriptScrollBar::look() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() == minimum(), value() == maximum()};
}
