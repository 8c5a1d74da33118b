#include "TranscriptScrollBar.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {
// Looks kept: following the end, the bar takes four or five in turn.
constexpr int kPictures = 16;
} // namespace

TranscriptScrollBar::TranscriptScrollBar(QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
    , m_pictures(kPictures)
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
    // Pressed or under the pointer, a part of the bar is drawn lit, and a bar that fades in and
    // out changes as it does: the style is told of both by the bar itself.
    if (underMouse() || QGuiApplication::mouseButtons() != Qt::NoButton ||
        style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this)) {
        QScrollBar::paintEvent(event);
        return;
    }
    QPainter(this).drawPixmap(0, 0, restingPicture());
}

void TranscriptScrollBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        m_pictures.clear();
    QScrollBar::changeEvent(event);
}

QPixmap TranscriptScrollBar::restingPicture()
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const qreal ratio = devicePixelRatioF();
    // What the style draws from: the size, the handle, the ends reached (arrows dim there),
    // the state (enabled, window active), the colours.
    const QRect handle = m_drawn.handle;
    const QString key =
        QString::asprintf("%dx%d %d,%d,%dx%d %d%d %x %lld %g", width(), height(), handle.x(),
                          handle.y(), handle.width(), handle.height(), m_drawn.atMinimum,
                          m_drawn.atMaximum, uint(option.state), palette().cacheKey(), ratio);
    if (const QPixmap *cached = m_pictures.object(key))
        return *cached;
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
    }
    m_pictures.insert(key, new QPixmap(picture));
    return picture;
}

TranscriptScrollBar::Look TranscriptScrollBar::look() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() == minimum(), value() == maximum()};
}
