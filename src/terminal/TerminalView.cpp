#include "TerminalView.h"

#include "TranscriptModel.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
// What a screen reader reads must hold no invisible format character (U+200B and its
// kin): the CR of a CR LF is a blank at the end of its line.
constexpr char16_t kLineEndCr = u' ';
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
} // namespace

TerminalView::TerminalView(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    setFocusPolicy(Qt::StrongFocus);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_flushTimer, &QTimer::timeout, this, &TerminalView::flush);
}

void TerminalView::setModel(TranscriptModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &TranscriptModel::appended, this, &TerminalView::onAppended);
        connect(m_model, &TranscriptModel::frontRemoved, this, &TerminalView::onFrontRemoved);
        connect(m_model, &TranscriptModel::cleared, this, &TerminalView::onCleared);
    }
    m_pendingReset = true;
    scheduleFlush();
}

QString TerminalView::displayText(QStringView piece)
{
    QString shown(piece.size(), Qt::Uninitialized);
    QChar *out = shown.data();
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const char16_t c = piece[i].unicode();
        if (c == u'\r' && i + 1 < piece.size() && piece[i + 1] == u'\n')
            out[i] = QChar(kLineEndCr);
        else if (c == u'\n' || c == u'\t')
            out[i] = QChar(c);
        else if (c < 0x20)
            out[i] = QChar(char16_t(kControlPictures + c));
        else if (c == 0x7F)
            out[i] = QChar(kDeletePicture);
        else
            out[i] = QChar(c);
    }
    return shown;
}

void TerminalView::onAppended(const QString &piece)
{
    if (!m_pendingReset) {
        // A CR LF split between two changes: the CR is already shown as a lone CR, and only
        // a redraw shows it as the first half of its pair again.
        const QString &text = m_model->text();
        const qsizetype before = text.size() - piece.size() - 1;
        if (m_pendingAppend.isEmpty() && piece.startsWith(u'\n') && before >= 0 &&
            text.at(before) == u'\r')
            m_pendingReset = true;
        m_pendingAppend += piece;
        // More than the model can hold is pending: redrawing from the model is cheaper.
        if (m_pendingAppend.size() > 2 * qsizetype(m_model->limit()) + 2)
            m_pendingReset = true;
    }
    scheduleFlush();
}

void TerminalView::onFrontRemoved(qsizetype count)
{
    if (!m_pendingReset) {
        m_pendingDrop += count;
        if (m_pendingDrop > m_shownLength)
            m_pendingReset = true;
    }
    scheduleFlush();
}

void TerminalView::onCleared()
{
    m_pendingReset = true;
    scheduleFlush();
}

void TerminalView::scheduleFlush()
{
    if (m_flushTimer.isActive())
        return;
    // After a quiet spell the change shows at the next turn of the event loop; in a burst
    // the display catches up at most every kMinFlushIntervalMs.
    const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : kMinFlushIntervalMs;
    m_flushTimer.start(int(qMax<qint64>(0, kMinFlushIntervalMs - since)));
}

void TerminalView::flush()
{
    m_flushTimer.stop();
    m_sinceFlush.start();
    if (!m_pendingReset && m_pendingDrop == 0 && m_pendingAppend.isEmpty())
        return;

    QScrollBar *bar = verticalScrollBar();
    const bool followEnd = bar->value() >= bar->maximum();

    if (m_pendingReset) {
        const QString text = m_model ? m_model->text() : QString();
        setPlainText(displayText(text));
        m_shownLength = text.size();
    } else {
        // Two edits, not one block of them: an edit spanning the first line to the last
        // would make the layout forget every line and lay out the visible ones again. Apart,
        // only the lines dropped at the top and the lines added at the end change.
        QTextCursor cursor(document());
        if (m_pendingDrop > 0) {
            cursor.setPosition(int(m_pendingDrop), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        if (!m_pendingAppend.isEmpty()) {
            // Placed by position: moving to the end would lay out the last line first.
            cursor.setPosition(document()->characterCount() - 1);
            cursor.insertText(displayText(m_pendingAppend));
        }
        m_shownLength += m_pendingAppend.size() - m_pendingDrop;
    }
    m_pendingReset = false;
    m_pendingDrop = 0;
    m_pendingAppend.clear();

    if (followEnd)
        bar->setValue(bar->maximum());
}

void TerminalView::keyPressEvent(QKeyEvent *event)
{
    // Copying, selecting and moving through the text keep working; nothing else may change
    // the text, and every character goes to the program.
    if (event->matches(QKeySequence::Paste)) {
        typeText(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && !(event->modifiers() & Qt::ControlModifier);
    if (printable || text == QLatin1String("\b") || text == QLatin1String("\r") ||
        text == QLatin1String("\x1b")) {
        for (QChar c : text)
            Q_EMIT keyTyped(c);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TerminalView::inputMethodEvent(QInputMethodEvent *event)
{
    for (QChar c : event->commitString())
        Q_EMIT keyTyped(c);
    event->accept();
}

void TerminalView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    // In the words of the menu's own entries, after Copy.
    auto *paste = new QAction(
        QCoreApplication::translate("QWidgetTextControl", "&Paste") + QLatin1Char('\t') +
            QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText),
        menu);
    paste->setObjectName(QStringLiteral("edit-paste"));
    paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    connect(paste, &QAction::triggered, this,
            [this] { typeText(QGuiApplication::clipboard()->text()); });
    const QList<QAction *> entries = menu->actions();
    qsizetype after = 0;
    while (after < entries.size() && entries[after]->objectName() != u"edit-copy")
        ++after;
    menu->insertAction(after + 1 < entries.size() ? entries[after + 1] : nullptr, paste);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TerminalView::mouseReleaseEvent(QMouseEvent *event)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        typeText(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void TerminalView::typeText(const QString &text)
{
    for (QChar c : text)
        Q_EMIT keyTyped(c);
}

QMimeData *TerminalView::createMimeDataFromSelection() const
{
    const_cast<TerminalView *>(this)->flush();
    auto *data = new QMimeData;
    const QTextCursor cursor = textCursor();
    if (m_model && cursor.hasSelection()) {
        // Positions in the display are positions in the transcript: copy its exact text.
        const qsizetype start = cursor.selectionStart();
        const qsizetype end = cursor.selectionEnd();
        data->setText(m_model->text().mid(start, end - start));
    }
    return data;
}
