// The bounded receive buffer, fed random reads through the same transcript, gives exactly
// the text that an unbounded one gives (the fuzz target explores this further).

#include "link/RxFramer.h"
#include "terminal/TranscriptModel.h"

#include <QRandomGenerator>
#include <QTest>

#include <utility>

class TestRxFramer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameTranscriptAsUnbounded()
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
                    boundedText.append(*frame + "\r\n");
                unbounded += chunk;
                if (unbounded.size() >= 3 && unbounded.endsWith("##"))
                    unboundedText.append(std::exchange(unbounded, {}) + "\r\n");
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
};

QTEST_APPLESS_MAIN(TestRxFramer)
#include "tst_rxframer.moc"
