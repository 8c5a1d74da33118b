#pragma once

#include "LinePictures.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

class TranscriptModel;
class TranscriptScrollBar;

// The terminal text box: shows a TranscriptModel, never lets the user edit it, and hands
// every typed character to the program instead. It follows the model incrementally
// (append at the end, drop lines at the start). A change after a quiet spell is drawn at the
// next turn of the event loop; in a burst, the first change that comes kMinFlushIntervalMs
// or more after the last draw is drawn with it, so that draws ride on the wake-ups that bring
// the bytes, and the end of a burst is drawn at most kMinFlushIntervalMs + kTailMs after the
// draw before it. While lines come faster than a screenful per kMinFlushIntervalMs, so that
// most of them scroll past unseen whatever the view does, it draws kOutpacedFlushIntervalMs
// apart instead.
class TerminalView : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int kMinFlushIntervalMs = 28;
    static constexpr int kTailMs = 10;
    static constexpr int kOutpacedFlushIntervalMs = 100;

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
    // Lines are drawn from their pictures, but for those with the cursor or the selection in
    // them, which the text box draws itself.
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
    void onAppended(const QString &piece);
    void onFrontRemoved(qsizetype count);
    void onCleared();
    void scheduleFlush();
    qreal blockTop(const QTextBlock &block) const;
    // Shows the last draw's change: the lines before `lastKept` moved as it did, it and the
    // lines after it drawn anew; everything drawn anew without it.
    void showChange(const QTextBlock &lastKept, qreal lastKeptTop);
    void typeText(const QString &text);

    TranscriptModel *m_model = nullptr;
    TranscriptScrollBar *m_scrollBar = nullptr;
    LinePictures m_pictures;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
    // Changes of the model not yet shown: drop m_pendingDrop characters from the front of
    // what is shown, then append m_pendingAppend; m_pendingReset redraws from the model.
    qsizetype m_shownLength = 0;
    qsizetype m_pendingDrop = 0;
    QString m_pendingAppend;
    bool m_pendingReset = false;
    // The last draw brought more lines than the view shows per kMinFlushIntervalMs.
    bool m_outpaced = false;
};
