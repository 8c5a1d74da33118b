#pragma once

#include <QCache>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <QTextBlock>

class QPainter;

// Pictures of the terminal's lines, drawn once and reused while the lines scroll up the
// screen. On a busy line every draw moves the text and shows a few new lines; laying the
// glyphs of every visible line onto the screen again each time would be most of its cost.
// A picture is keyed by the line's text, its size and the colours, so a change of any of
// them draws anew; the cache holds a few screens' worth.
class LinePictures
{
public:
    LinePictures();

    // A line of the text box and where it lies in the viewport.
    using Line = std::pair<QTextBlock, QRectF>;
    // Draws each line from its picture, in the viewport's pixels.
    void draw(QPainter &painter, const QList<Line> &lines, const QPalette &palette);

    void clear() { m_cache.clear(); }

private:
    // The line as the text box draws it, on its background, in `size` pixels, its top
    // `shift` (less than a pixel) below the picture's.
    QPixmap picture(const QTextBlock &block, const QSize &size, qreal shift,
                    const QPalette &palette);

    QCache<QString, QPixmap> m_cache;
};
