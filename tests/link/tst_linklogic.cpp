// The logic behind the link and the transcript: the connection clock, the framing of
// received characters, the transcript's length rule and the shape of its lines.

#include "ConnectionClock.h"
#include "RxFramer.h"
#include "TranscriptModel.h"

#include <QRandomGenerator>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

class TestLinkLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clock_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << 0 << u"Connection time: 00.00.00"_s;
        QTest::newRow("59 s") << 59 << u"Connection time: 00.00.59"_s;
        QTest::newRow("1 h 5 min 9 s") << 3909 << u"Connection time: 01.05.09"_s;
        QTest::newRow("an hour less a second") << 3599 << u"Connection time: 00.59.59"_s;
        QTest::newRow("100 h, three digits") << 360000 << u"Connection time: 100.00.00"_s;
        QTest::newRow("past 255 h") << 256 * 3600 + 1 << u"Connection time: 256.00.01"_s;
    }
    void clock()
    {
        QFETCH(int, ticks);
        QFETCH(QString, text);
        ConnectionClock clock;
        for (int i = 0; i < ticks; ++i)
            clock.tick();
        QCOMPARE(clock.text(u"Connection time"_s), text);
        clock.reset();
        QCOMPARE(clock.text(u"Tempo connessione"_s), u"Tempo connessione: 00.00.00"_s);
    }

    // Reads as they come, split at "|", and the frame each completes ("" for none).
    void framing_data()
    {
        for (const char *column : {"reads", "frames", "left"})
            QTest::addColumn<QString>(column);
        const char *const rows[][4] = {
            {"one read", "*#*1##", "*#*1##", ""},
            {"two reads", "*1*1|*11##", "|*1*1*11##", ""},
            {"two frames in one read, one line", "*1##*2##", "*1##*2##", ""},
            {"a frame and the start of the next", "*1##*2|##", "|*1##*2##", ""},
            {"frame end alone waits", "##|*5##", "|##*5##", ""},
            {"three characters", "1##", "1##", ""},
            {"end split between reads", "*1#|#", "|*1##", ""},
            {"no end", "*#*1#", "", "*#*1#"},
            {"empty read", "*1|", "|", "*1"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2])
                                  << QString::fromLatin1(row[3]);
    }
    void framing()
    {
        QFETCH(QString, reads);
        QFETCH(QString, frames);
        QFETCH(QString, left);
        RxFramer framer(10000);
        const QStringList readList = reads.split(u'|'), expected = frames.split(u'|');
        QCOMPARE(readList.size(), expected.size());
        for (qsizetype i = 0; i < readList.size(); ++i)
            QCOMPARE(framer.append(readList[i]).value_or(QString()), expected[i]);
        QCOMPARE(framer.rxBuffer(), left);
    }

    // The bounded receive buffer, fed random reads through the same transcript, gives exactly
    // the text that an unbounded one gives (the fuzz target explores this further).
    void boundedBufferSameTranscript()
    {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            const int limit = 8 + int(seed % 10);
            QRandomGenerator random(seed);
            RxFramer bounded(limit);
            QString unbounded; // a frame is all since the last, 3+ characters ending "##"
            TranscriptModel boundedText(limit), unboundedText(limit);
            for (int i = 0; i < 300; ++i) {
                // Mostly short reads in which "##" and CR LF are frequent; some long runs.
                const bool longRun = random.bounded(10) == 0;
                const int alphabet = longRun && random.bounded(2) ? 2 : 5;
                QString chunk;
                for (int n = longRun ? random.bounded(20, 200) : random.bounded(1, 6); n; --n)
                    chunk += QLatin1Char("ab#\r\n"[random.bounded(alphabet)]);
                if (std::optional<QString> frame = bounded.append(chunk))
                    boundedText.appendFrame(*frame);
                unbounded += chunk;
                if (unbounded.size() >= 3 && unbounded.endsWith(u"##"_s))
                    unboundedText.appendFrame(std::exchange(unbounded, {}));
                if (random.bounded(8) == 0) { // typed characters land in between
                    const QString typed(1, QLatin1Char("*#15"[random.bounded(4)]));
                    boundedText.append(typed);
                    unboundedText.append(typed);
                }
                if (boundedText.text() != unboundedText.text()) {
                    qWarning("limit %d, seed %u, read %d", limit, seed, i);
                    QCOMPARE(boundedText.text(), unboundedText.text());
                }
                QVERIFY(bounded.rxBuffer().size() <= 2 * limit);
            }
        }
    }

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

    void lineShapes()
    {
        TranscriptModel model;
        model.appendFrame(u"*#*1##"_s);
        model.append(u"*1"_s);
        model.appendFrame(u"*#*0##"_s);
        model.appendLineFailure(5, u"The device was disconnected"_s);
        QCOMPARE(model.text(), u"*#*1##\r\n*1*#*0##\r\n\r\n5-The device was disconnected\r\n"_s);
        model.appendLineFailure(-1, u"x"_s);
        QVERIFY(model.text().endsWith(u"\r\n\r\n-1-x\r\n"_s));
    }
};

QTEST_APPLESS_MAIN(TestLinkLogic)
#include "tst_linklogic.moc"
