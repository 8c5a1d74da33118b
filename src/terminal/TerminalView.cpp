#include "TerminalView.h"

#include "DisplayText.h"
#include "TranscriptModel.h"
#include "TranscriptScrollBar.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QtMath>

TerminalView::TerminalView(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBar = new TranscriptScrollBar(this);
    setVerticalScrollBar(m_scrollBar);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    // The default font, but Latin text is not run through the shaper: frames need no
    // ligatures or kerning, and shaping is much of what laying out a line costs.
    QFont unshaped;
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped); // and measured, see changeEvent()
    setFocusPolicy(Qt::StrongFocus);
    // The background is painted with the lines, see paintEvent().
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_pacer, &DrawPacer::due, this, &TerminalView::flush);
}

void TerminalView::setModel(TranscriptModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &TranscriptModel::appended, this, [this](const QString &piece) {
            m_pending.append(piece, m_model->text(), qsizetype(m_model->limit()));
            m_pacer.changed();
        });
        connect(m_model, &TranscriptModel::frontRemoved, this, [this](qsizetype count) {
            m_pending.dropFront(count);
            m_pacer.changed();
        });
        connect(m_model, &TranscriptModel::cleared, this, [this] {
            m_pending.reset();
            m_pacer.changed();
        });
    }
    m_pending.reset();
    m_pacer.changed();
}

void TerminalView::flush()
{
    // What came since the last draw, in lines of the screen: a line end starts one, and a
    // long line wraps over several (a flood is read in lines of kilobytes).
    const int columns = viewport()->width() / m_glyphSize.width();
    m_pacer.drawing(m_pending.addedLineEnds() + m_pending.addedSize() / qMax(1, columns),
                    viewport()->height() / m_glyphSize.height());
    if (m_pending.isEmpty())
        return;

    const bool followEnd = m_scrollBar->value() >= m_scrollBar->maximum();
    // A change that keeps every line before the last one as it is leaves them on screen as
    // they were, only higher up: that picture is moved rather than drawn again. Lines dropped
    // from the front go whole, but when no line end is left; and the last line must outlast
    // them, or its handle would no longer name it.
    const QTextBlock lastShown = document()->lastBlock();
    const bool keepsLines =
        !m_pending.isReset() && m_pending.drop() < lastShown.position() &&
        document()->findBlock(int(m_pending.drop())).position() == m_pending.drop();
    const qreal lastTop = keepsLines ? blockTop(lastShown) : 0;
    m_scrollBar->hold();
    // What the edits and the scroll would repaint or move on the way is left alone: the
    // whole change is shown once, at the end. (Not setUpdatesEnabled(), whose re-enabling
    // repaints everything.)
    viewport()->setAttribute(Qt::WA_UpdatesDisabled);

    if (m_pending.isReset()) {
        const QString text = m_model ? m_model->text() : QString();
        setPlainText(displayText(text));
    } else {
        // Two edits: one spanning the first line to the last would make the layout forget
        // every line; apart, only the lines dropped and the lines added change.
        // Each in an edit block of its own: the cursor then lays out no line where it ends.
        QTextCursor cursor(document());
        if (m_pending.drop() > 0) {
            // The text box sets its scroll bar after every edit; once, after the last, will do.
            const QSignalBlocker once(
                m_pending.appended().isEmpty() ? nullptr : document()->documentLayout());
            cursor.beginEditBlock();
            cursor.setPosition(int(m_pending.drop()), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.endEditBlock();
        }
        if (!m_pending.appended().isEmpty()) {
            // Placed by position: moving to the end would lay out the last line first.
            cursor.beginEditBlock();
            cursor.setPosition(document()->characterCount() - 1);
            cursor.insertText(displayText(m_pending.appended()));
            cursor.endEditBlock();
        }
    }
    m_pending.shown(m_model ? m_model->text().size() : 0);

    if (followEnd)
        m_scrollBar->setValue(m_scrollBar->maximum());
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, false);
    showChange(keepsLines ? lastShown : QTextBlock(), lastTop);
    m_scrollBar->release();
}

qreal TerminalView::blockTop(const QTextBlock &block) const
{
    return blockBoundingGeometry(block).translated(contentOffset()).top();
}

void TerminalView::showChange(const QTextBlock &lastKept, qreal lastKeptTop)
{
    QWidget *shown = viewport();
    const qreal top = lastKept.isValid() ? blockTop(lastKept) : 0;
    const int moved = qRound(top - lastKeptTop);
    // Moved by whole pixels, the old picture is what drawing those lines again would give.
    if (!lastKept.isValid() || qAbs(top - lastKeptTop - moved) > 1e-3) {
        shown->update();
        return;
    }
    if (moved != 0) {
        shown->scroll(0, moved);
        // Drawn anew, the top line lacks what the line above it, now out of sight, spilled
        // into it.
        const QTextBlock first = firstVisibleBlock();
        shown->update(0, 0, shown->width(),
                      qCeil(blockTop(first) + blockBoundingRect(first).height()));
    }
    if (top < shown->height())
        shown->update(QRect(0, qMax(0, int(top)), shown->width(), shown->height()));
}

void TerminalView::paintEvent(QPaintEvent *event)
{
    const QTextCursor cursor = textCursor();
    // Where the caret is to be drawn now, if anywhere: it blinks, and only shows with the focus.
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    const int caret =
        textInteractionFlags() & Qt::TextSelectableByKeyboard ? context.cursorPosition : -1;
    LinePictures::Line caretLine;
    const QRect area = event->rect();
    QRegion ownDrawing;
    QList<LinePictures::Line> pictured;
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && offset.y() <= area.bottom();
         block = block.next()) {
        const QRectF line = blockBoundingRect(block).translated(offset);
        offset.ry() += line.height();
        // After a move, only the top line and the new lines at the bottom are to be drawn.
        if (!block.isVisible() || !event->region().intersects(line.toAlignedRect()))
            continue;
        const int start = block.position(), end = start + block.length();
        // A long line, wrapped over much of the screen, is mostly out of sight.
        if (viewport()->devicePixelRatioF() != 1.0 || line.height() > viewport()->height() / 4 ||
            (cursor.hasSelection() && cursor.selectionStart() < end &&
             cursor.selectionEnd() > start)) {
            ownDrawing += line.toAlignedRect();
            continue;
        }
        pictured.append({block, line});
        if (caret >= start && caret < end)
            caretLine = pictured.last();
    }
    // Pictures come on their own background: only what lies between them, and what the text
    // box draws itself, needs the background first.
    QRegion bare = event->region();
    for (const LinePictures::Line &line : std::as_const(pictured))
        bare -= line.second.toAlignedRect();
    QPainter painter(viewport());
    for (const QRect &rect : bare)
        painter.fillRect(rect, viewport()->palette().brush(viewport()->backgroundRole()));
    if (!ownDrawing.isEmpty()) {
        painter.end();
        QPaintEvent own(ownDrawing);
        QPlainTextEdit::paintEvent(&own);
        painter.begin(viewport());
    }
    m_pictures.draw(painter, pictured, palette());
    // Over its line's picture, as the text box draws it over the line.
    if (caretLine.first.isValid()) {
        painter.setPen(context.palette.text().color());
        caretLine.first.layout()->drawCursor(&painter, caretLine.second.topLeft(),
                                             caret - caretLine.first.position(), cursorWidth());
    }
}

void TerminalView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_pictures.clear();
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        measureGlyphs();
}

void TerminalView::measureGlyphs()
{
    // Asked for at every draw, and not cheap to ask the font for.
    const QFontMetrics metrics = fontMetrics();
    m_glyphSize = QSize(qMax(1, metrics.averageCharWidth()), qMax(1, metrics.lineSpacing()));
}
