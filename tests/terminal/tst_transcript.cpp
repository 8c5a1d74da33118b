// The transcript model's length rule and the terminal view that shows it.

#include "terminal/TerminalView.h"
#include "terminal/TranscriptModel.h"

#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QtTest>

namespace {

// The rule written the plain way: drop the first line with its CR LF, or the first
// character when there is no CR LF, until the text fits.
QString naiveTrim(QString text, int limit)
{
    while (text.size() > limit) {
        const qsizetype p = text.indexOf(QLatin1String("\r\n"));
        text = p < 0 ? text.mid(1) : text.mid(p + 2);
    }
    return text;
}

QString randomText(QRandomGenerator &random, const QString &alphabet, int maxLength)
{
    QString text;
    for (int n = random.bounded(maxLength + 1); n > 0; --n)
        text += alphabet.at(random.bounded(int(alphabet.size())));
    return text;
}

} // namespace

class TstTranscript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void limitRule_data();
    void limitRule();
    void agreesWithNaiveRule();
    void viewShowsModel();
    void copyGivesTranscriptCharacters();
};

void TstTranscript::limitRule_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("expected");

    const QString x9996(9996, QLatin1Char('x'));
    const QString y10000(10000, QLatin1Char('y'));
    QTest::newRow("exactly the limit is kept")
        << QStringList{QStringLiteral("ab\r\n"), x9996} << QStringLiteral("ab\r\n") + x9996;
    QTest::newRow("one more drops the first line and its CR LF")
        << QStringList{QStringLiteral("ab\r\n"), x9996, QStringLiteral("z")} << x9996 + u'z';
    const QString x9990(9990, QLatin1Char('x'));
    QTest::newRow("several lines go in one change")
        << QStringList{QStringLiteral("1\r\n2\r\n3\r\n"), x9990, QStringLiteral("zzzzz")}
        << QStringLiteral("3\r\n") + x9990 + QStringLiteral("zzzzz");
    QTest::newRow("without CR LF single characters go")
        << QStringList{y10000, QStringLiteral("abc")} << y10000.mid(3) + QStringLiteral("abc");
    QTest::newRow("lines first, then single characters")
        << QStringList{QStringLiteral("ab\r\n"), y10000} << y10000;
    QTest::newRow("only CR LF at the end empties the text")
        << QStringList{QString(9999, QLatin1Char('x')), QStringLiteral("\r\n")} << QString();
    QTest::newRow("one long piece ending in CR LF empties the text")
        << QStringList{QString(10001, QLatin1Char('x')) + QStringLiteral("\r\n")} << QString();
    QTest::newRow("long piece keeps a line that starts at the limit")
        << QStringList{QStringLiteral("old\r\n"), QStringLiteral("abc\r\n") + y10000} << y10000;
}

void TstTranscript::limitRule()
{
    QFETCH(QStringList, pieces);
    QFETCH(QString, expected);

    TranscriptModel model;
    QCOMPARE(model.limit(), 10000);
    for (const QString &piece : pieces)
        model.append(piece);
    QCOMPARE(model.text().size(), expected.size());
    QCOMPARE(model.text(), expected);
}

void TstTranscript::agreesWithNaiveRule()
{
    // Small limit, an alphabet rich in line ends, pieces both shorter and longer than the
    // limit: every path of the model is compared with the plain rule after each change.
    const int limit = 20;
    const QString alphabet = QStringLiteral("ab\r\n#");
    for (quint32 seed = 1; seed <= 200; ++seed) {
        QRandomGenerator random(seed);
        TranscriptModel model(limit);
        QString reference;
        for (int step = 0; step < 60; ++step) {
            if (random.bounded(25) == 0) {
                model.clear();
                reference.clear();
                continue;
            }
            const QString piece = randomText(random, alphabet, random.bounded(8) == 0 ? 60 : 6);
            const QString before = reference;
            model.append(piece);
            reference = naiveTrim(reference + piece, limit);
            if (model.text() != reference) {
                qWarning() << "seed" << seed << "step" << step << "text" << before << "piece"
                           << piece;
            }
            QCOMPARE(model.text(), reference);
        }
    }
}

void TstTranscript::viewShowsModel()
{
    const QString alphabet = QStringLiteral("ab\r\n#\t") + QChar(0x01) + QChar(0xE9);
    for (quint32 seed = 1; seed <= 100; ++seed) {
        QRandomGenerator random(seed);
        TranscriptModel model(30);
        TerminalView view;
        view.setModel(&model);
        for (int step = 0; step < 40; ++step) {
            if (random.bounded(20) == 0)
                model.clear();
            else
                model.append(randomText(random, alphabet, random.bounded(6) == 0 ? 80 : 5));
            // Several changes often reach the view in one go; sometimes one at a time.
            if (random.bounded(3) == 0 || step == 39) {
                view.flush();
                if (view.toPlainText() != TerminalView::displayText(model.text()))
                    qWarning() << "seed" << seed << "step" << step << "model" << model.text();
                QCOMPARE(view.toPlainText(), TerminalView::displayText(model.text()));
            }
        }
    }
}

void TstTranscript::copyGivesTranscriptCharacters()
{
    TranscriptModel model;
    TerminalView view;
    view.setModel(&model);
    model.append(QStringLiteral("*#1##\r\n"));
    model.append(QStringLiteral("a\rb\nc") + QChar(0xE9) + QStringLiteral("\r\n"));
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

QTEST_MAIN(TstTranscript)
#include "tst_transcript.moc"
