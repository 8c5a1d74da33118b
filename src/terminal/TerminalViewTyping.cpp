#include "TerminalView.h"

#include "TranscriptModel.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

// What the user types, pastes and copies: the view's side of the keyboard and the clipboard.

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
