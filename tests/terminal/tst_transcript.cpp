// The transcript model's length rule and the terminal view that shows it.

#include "terminal/TerminalView.h"
#include "terminal/TranscriptModel.h"

#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstTranscript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void limitRule_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("expected");
        const auto x = [](int n) {
            return QString(n, u'x');
        };
        QTest::newRow("exactly the limit is kept")
            << QStringList{u"ab\r\n"_s, x(9996)} << u"ab\r\n"_s + x(9996);
        QTest::newRow("one more drops the first line and its CR LF")
            << QStringList{u"ab\r\n"_s, x(9996), u"z"_s} << x(9996) + u'z';
        QTest::newRow("without CR LF single characters go")
            << QStringList{x(10000), u"abc"_s} << x(9997) + u"abc"_s;
        QTest::newRow("lines first, then single characters")
            << QStringList{u"ab\r\n"_s, x(10001)} << x(10000);
        QTest::newRow("only CR LF at the end empties the text")
            << QStringList{x(9999), u"\r\n"_s} << QString();
        QTest::newRow("a long piece keeps a line that starts at the limit")
            << QStringList{u"old\r\n"_s, u"abc\r\n"_s + x(10000)} << x(10000);
    }

    void limitRule()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        TranscriptModel model;
        for (const QString &piece : pieces)
            model.append(piece);
        QCOMPARE(model.text(), expected);
    }

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

QTEST_MAIN(TstTranscript)
#include "tst_transcript.moc"
