#include "LinePictures.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

namespace {
// In bytes of picture: a few screens of the text box.
constexpr qsizetype kCacheBytes = 4 * 1024 * 1024;
} // namespace

LinePictures::LinePictures()
    : m_cache(kCacheBytes)
{
}

void LinePictures::draw(QPainter &painter, const QList<Line> &lines, const QPalette &palette)
{
    // Lines that start at a fraction of a pixel share a row of pixels with the line above:
    // drawn from the bottom up, the upper one keeps it, as it may reach into it with its
    // descenders, while the row at the top of a line is free of ink.
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QRect pixels = line->second.toAlignedRect();
        painter.drawPixmap(pixels.topLeft(), picture(line->first, pixels.size(),
                                                     line->second.top() - pixels.top(), palette));
    }
}

QPixmap LinePictures::picture(const QTextBlock &block, const QSize &size, qreal shift,
                              const QPalette &palette)
{
    const QString key =
        QString::number(size.width()) + QLatin1Char('x') + QString::number(size.height()) +
        QLatin1Char('+') + QString::number(qRound(shift * 64)) + QLatin1Char(' ') +
        QString::number(palette.cacheKey()) + QLatin1Char(' ') +
        QString::number(int(palette.currentColorGroup())) + QLatin1Char(' ') + block.text();
    if (const QPixmap *cached = m_cache.object(key))
        return *cached;
    QPixmap picture(size);
    picture.fill(palette.base().color());
    {
        QPainter painter(&picture);
        painter.setPen(palette.text().color());
        block.layout()->draw(&painter, QPointF(0, shift));
    }
    const qsizetype bytes = qsizetype(size.width()) * size.height() * 4;
    // A line too large for the cache (a very long one wraps over many rows) is drawn anew.
    if (bytes <= m_cache.maxCost())
        m_cache.insert(key, new QPixmap(picture), bytes);
    return picture;
}
