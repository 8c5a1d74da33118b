#pragma once

#include "DrawPacer.h"
#include "LinePictures.h"
#include "PendingChanges.h"

#include <QPlainTextEdit>

class TranscriptModel;
class TranscriptScrollBar;

// The terminal text box: shows a TranscriptModel, never lets the user edit it, and hands
// every typed character to the program instead. It follows the model incrementally
// (append at the end, drop lines at the start), drawing when its DrawPacer says.
class TerminalView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TerminalView(QWidget *parent = nullptr);

    void setModel(TranscriptModel *model);
    TranscriptModel *model() const { return m_model; }

    // Brings the display up to date with the model now.
    void flush();

Q_SIGNALS:
    // A key produced this character while the view had the focus; a paste gives each of
    // its characters in turn.
    void keyTyped(QChar character);

protected:
    // Lines are drawn from their pictures and the caret over them, as the text box would; lines
    // with the selection in them the text box draws itself.
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    // Paste (Ctrl+V, Shift+Insert, the context menu, the middle button's selection) types
    // the text rather than inserting it.
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *) override {}
    bool canInsertFromMimeData(const QMimeData *) const override { return false; }

private:
    qreal blockTop(const QTextBlock &block) const;
    // Shows the last draw's change: the lines before `lastKept` moved as it did, it and the
    // lines after it drawn anew; everything drawn anew without it.
    void showChange(const QTextBlock &lastKept, qreal lastKeptTop);
    void typeText(const QString &text);
    void measureGlyphs();

    TranscriptModel *m_model = nullptr;
    TranscriptScrollBar *m_scrollBar = nullptr;
    LinePictures m_pictures;
    DrawPacer m_pacer;
    PendingChanges m_pending;
    // An average character's width and the line spacing of the font, in pixels.
    QSize m_glyphSize{1, 1};
};
