// The terminal view: it always shows the transcript as it stands, and copies its exact text.

#include "DisplayText.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

// Counts the events of one type that reach the objects it filters.
class EventCounter : public QObject
{
public:
    EventCounter(QEvent::Type type, int &count)
        : m_type(type)
        , m_count(count)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int &m_count;
};

// Whether the view draws what a plain text box holding the same text, scrolled to the same
// line, draws; and whether the window shows it too, as the view's last draws left it (the old
// picture moved, and only what changed drawn again).
static bool looksLikeTextBox(TerminalView &view)
{
    QPlainTextEdit reference;
    reference.setLineWrapMode(view.lineWrapMode());
    reference.setWordWrapMode(view.wordWrapMode());
    reference.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reference.setReadOnly(true);
    reference.setTextInteractionFlags(view.textInteractionFlags());
    reference.setFont(view.font());
    reference.resize(view.size());
    reference.setPlainText(view.toPlainText());
    reference.setTextCursor(view.textCursor());
    reference.verticalScrollBar()->setValue(view.verticalScrollBar()->value());
    if (reference.verticalScrollBar()->value() != view.verticalScrollBar()->value())
        return false;
    const QImage expected = reference.viewport()->grab().toImage();
    if (view.viewport()->grab().toImage() != expected)
        return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const QRect port(view.viewport()->mapTo(&view, QPoint()), view.viewport()->size());
    const QImage onScreen = view.screen()->grabWindow(view.winId()).toImage().copy(port);
    return onScreen.convertToFormat(expected.format()) == expected;
}

// Shows the view on the model at the size of the main window's text box.
static bool showAtWindowSize(TerminalView &view, TranscriptModel &model)
{
    view.resize(525, 441);
    view.setModel(&model);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

class TstTerminalView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Short random runs against the rule written the plain way (the fuzz target goes further),
    // with pieces shorter and longer than the limit; the view catches up at random moments.
    void randomRunsAgreeWithPlainRule()
    {
        const QString alphabet = u"ab\r\n#\t\u0001\u00e9"_s;
        for (quint32 seed = 1; seed <= 50; ++seed) {
            QRandomGenerator random(seed);
            TranscriptModel model(20);
            TerminalView view;
            view.setModel(&model);
            QString reference;
            for (int step = 0; step < 40; ++step) {
                const QString where = u"seed %1 step %2"_s.arg(seed).arg(step);
                if (random.bounded(20) == 0) {
                    model.clear();
                    reference.clear();
                }
                QString piece;
                for (int n = random.bounded(random.bounded(6) ? 6 : 60); n > 0; --n)
                    piece += alphabet.at(random.bounded(int(alphabet.size())));
                model.append(piece);
                reference += piece;
                while (reference.size() > 20) {
                    const qsizetype crLf = reference.indexOf(u"\r\n"_s);
                    reference.remove(0, crLf < 0 ? 1 : crLf + 2);
                }
                QVERIFY2(model.text() == reference, qPrintable(where));
                if (random.bounded(3) == 0 || step == 39) {
                    view.flush();
                    QVERIFY2(view.toPlainText() == displayText(model.text()), qPrintable(where));
                }
            }
        }
    }

    // A screen reader reads the frames, line by line, with no invisible characters.
    void screenReaderText()
    {
        TranscriptModel model;
        TerminalView view;
        view.setModel(&model);
        model.append(u"*#1##\r\n*#*1##\r\n"_s);
        view.flush();
        QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(&view)->textInterface();
        const QString read = text->text(0, text->characterCount());
        for (QChar c : read)
            QVERIFY2(c.category() != QChar::Other_Format,
                     qPrintable(QString::number(c.unicode(), 16)));
        QCOMPARE(read.simplified(), u"*#1## *#*1##"_s);
    }

    // Lines drawn from their pictures look exactly as the text box draws them, while the
    // transcript streams by (pictures reused at new places), with a selection, and after a
    // change of font; the scroll bar repaints only when it looks different.
    void drawsAsTheTextBoxDoes()
    {
        TranscriptModel model(2000);
        TerminalView view;
        QVERIFY(showAtWindowSize(view, model));
        view.clearFocus(); // no caret, as in the reference that never has the focus
        const auto same = [&](const char *when) {
            view.flush();
            QVERIFY2(looksLikeTextBox(view), when);
        };
        int barPaints = 0;
        EventCounter counter(QEvent::Paint, barPaints);
        view.verticalScrollBar()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        const int shown = barPaints;
        for (int i = 0; i < 300; ++i) {
            model.appendFrame(i % 3 ? u"*1*%1*11##"_s.arg(i) : u"*#1*gyp%1qj##*1*1*11##"_s.arg(i));
            if (i % 7 == 0)
                same("streaming");
        }
        QTRY_VERIFY(barPaints > shown); // the handle shrinks as the text grows
        // Full of one frame, each draw drops as many lines as it adds.
        for (int i = 0; i < 200; ++i)
            model.appendFrame(u"*1*1*11##"_s);
        view.flush();
        QCoreApplication::processEvents();
        const int before = barPaints;
        for (int i = 0; i < 20; ++i) {
            model.appendFrame(u"*1*1*11##"_s);
            view.flush();
            view.viewport()->repaint();
        }
        QCoreApplication::processEvents();
        QCOMPARE(barPaints, before);

        QTextCursor cursor(view.document());
        cursor.setPosition(view.document()->characterCount() - 120);
        cursor.setPosition(view.document()->characterCount() - 60, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        same("with a selection");
        QFont larger = view.font();
        larger.setPointSizeF(larger.pointSizeF() * 1.37);
        view.setFont(larger);
        same("in a larger font");
    }

    // Each draw moves what it keeps of the old picture and draws the rest, and the window
    // shows what drawing everything again would: pieces of lines, lines cut by single
    // characters at the top of the screen, more than a screenful at once, a view scrolled
    // back while the oldest lines go.
    void movedPictureShowsTheChange_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<bool>("scrolledBack");
        QStringList split, lineFeeds, screenfuls;
        for (int i = 0; i < 60; ++i) {
            split << u"*1*%1"_s.arg(i) << u"*11"_s << u"##\r\n"_s;
            lineFeeds << u"%1 a line that goes on"_s.arg(i) << u" and on, then ends\n"_s;
        }
        for (int i = 0; i < 4; ++i)
            screenfuls << u"*1*%1*11##\r\n"_s.arg(i).repeated(40);
        QTest::newRow("frames in pieces") << 2000 << split << false;
        QTest::newRow("cut by characters") << 300 << lineFeeds << false;
        QTest::newRow("a screenful at once") << 2000 << screenfuls << false;
        QTest::newRow("scrolled back") << 2000 << split << true;
        QTest::newRow("longer than the transcript")
            << 300 << QStringList{u"*1*1*11##"_s.repeated(32) + u"\r\n"_s} << false;
    }
    void movedPictureShowsTheChange()
    {
        QFETCH(int, limit);
        QFETCH(QStringList, pieces);
        QFETCH(bool, scrolledBack);
        TranscriptModel model(limit);
        TerminalView view;
        QVERIFY(showAtWindowSize(view, model));
        view.clearFocus();
        for (int i = 0; i < 40; ++i)
            model.appendFrame(u"*1*1*11##"_s);
        view.flush();
        if (scrolledBack)
            view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() - 5);
        for (const QString &piece : std::as_const(pieces)) {
            model.append(piece);
            view.flush();
            QVERIFY2(looksLikeTextBox(view), qPrintable(piece));
        }
    }

    // A flood is read in lines of kilobytes: few line ends, but a screenful and more goes
    // past between two draws, so the view draws at the slow rhythm, not the burst one.
    void floodOfLongLinesIsDrawnSeldom()
    {
        TranscriptModel model;
        TerminalView view;
        QVERIFY(showAtWindowSize(view, model));
        view.flush();
        QCoreApplication::processEvents();
        int paints = 0;
        EventCounter counter(QEvent::Paint, paints);
        view.viewport()->installEventFilter(&counter);
        const QString frame = u"*#1*2##"_s.repeated(570) + u"\r\n"_s;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 800) {
            model.append(frame);
            QTest::qWait(3);
        }
        // Draws are never closer than the slow interval, but the first two.
        QCOMPARE_LE(paints, 3 + clock.elapsed() * 100 / (95 * DrawPacer::kOutpacedIntervalMs));
    }

    void copyGivesTranscriptCharacters()
    {
        TranscriptModel model;
        TerminalView view;
        view.setModel(&model);
        model.append(u"*#1##\r\n"_s);
        model.append(u"a\rb\nc\u00e9\r\n"_s);
        view.flush();
        const QString &text = model.text();
        for (int start = 0; start < text.size(); ++start) {
            for (int end = start + 1; end <= text.size(); ++end) {
                QTextCursor cursor(view.document());
                cursor.setPosition(start);
                cursor.setPosition(end, QTextCursor::KeepAnchor);
                view.setTextCursor(cursor);
                QApplication::clipboard()->clear();
                view.copy();
                QCOMPARE(QApplication::clipboard()->text(), text.mid(start, end - start));
            }
        }
    }
};

QTEST_MAIN(TstTerminalView)
#include "tst_terminalview.moc"
