// The terminal view draws its lines from pictures and the caret over them: it must show the
// caret where and as a plain text box does, at the end of a streaming transcript and on a line
// the user moved it to.

#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstTerminalCaret : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawnAsTheTextBoxDrawsIt()
    {
        QApplication::setCursorFlashTime(0); // the caret shows for as long as the focus stays
        TranscriptModel model(2000);
        QWidget window; // one window for both, so that the focus moves between them at once
        auto *view = new TerminalView(&window);
        auto *reference = new QPlainTextEdit(&window);
        reference->setLineWrapMode(view->lineWrapMode());
        reference->setWordWrapMode(view->wordWrapMode());
        reference->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        reference->setReadOnly(true);
        reference->setTextInteractionFlags(view->textInteractionFlags());
        reference->setFont(view->font());
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(view);
        layout->addWidget(reference);
        window.resize(800, 300);
        view->setModel(&model);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        const auto same = [&](const char *when) {
            view->flush();
            reference->setPlainText(view->toPlainText());
            QTextCursor caret(reference->document());
            caret.setPosition(view->textCursor().position());
            reference->setTextCursor(caret);
            reference->verticalScrollBar()->setValue(view->verticalScrollBar()->value());
            QCOMPARE(reference->verticalScrollBar()->value(), view->verticalScrollBar()->value());
            reference->setFocus();
            const QImage expected = reference->viewport()->grab().toImage();
            const QImage unfocused = view->viewport()->grab().toImage();
            view->setFocus();
            QVERIFY2(view->viewport()->grab().toImage() == expected, when);
            QVERIFY2(unfocused != expected, "the caret shows"); // or the test would prove nothing
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            const QRect port(view->viewport()->mapTo(&window, QPoint()), view->viewport()->size());
            const QImage onScreen = window.screen()->grabWindow(window.winId()).toImage();
            QVERIFY2(onScreen.copy(port).convertToFormat(expected.format()) == expected, when);
        };

        view->setFocus();
        for (int i = 0; i < 60; ++i) {
            model.appendFrame(u"*1*%1*11##"_s.arg(i));
            if (i % 9 == 0)
                same("at the end of the transcript");
        }
        // The user puts the caret inside a line; the lines then move up past it.
        QTextCursor moved = view->textCursor();
        moved.setPosition(view->document()->lastBlock().previous().position() + 3);
        view->setTextCursor(moved);
        same("inside a line");
        for (int i = 0; i < 5; ++i) {
            model.appendFrame(u"*#1*gyp%1##"_s.arg(i));
            same("inside a line that moves up");
        }
    }
};

QTEST_MAIN(TstTerminalCaret)
#include "tst_terminalcaret.moc"
