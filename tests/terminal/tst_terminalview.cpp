// The terminal view: it always shows the transcript as it stands, and copies its exact text.

#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

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
                    QVERIFY2(view.toPlainText() == TerminalView::displayText(model.text()),
                             qPrintable(where));
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
