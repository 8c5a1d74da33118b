// The receive buffer keeps only what the transcript could ever show: fed through the same
// transcript, it gives exactly the text that an unbounded buffer gives.

#include "link/RxFramer.h"
#include "terminal/TranscriptModel.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
// The unbounded receive buffer, as the adapter's frames are defined: everything received
// since the last frame, which completes when it is at least three characters long and
// ends with "##".
class ReferenceFramer
{
public:
    std::optional<QString> append(const QString &received)
    {
        m_buffer += received;
        if (m_buffer.size() < 3 || !m_buffer.endsWith(QLatin1String("##")))
            return std::nullopt;
        QString frame;
        frame.swap(m_buffer);
        return frame;
    }

private:
    QString m_buffer;
};

// Random received chunks: mostly short, some long runs with no frame end, and an alphabet
// in which "##" and CR LF are frequent.
QString randomChunk(QRandomGenerator &random)
{
    static const char alphabet[] = "ab#\r\n";
    const int kind = random.bounded(10);
    const int length = kind == 0 ? random.bounded(20, 200) : random.bounded(1, 6);
    QString chunk;
    const bool noFrameEnd = kind == 0 && random.bounded(2) == 0;
    for (int i = 0; i < length; ++i) {
        const char c = alphabet[random.bounded(noFrameEnd ? 2 : 5)];
        chunk += QLatin1Char(c);
    }
    return chunk;
}
QString visible(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}
} // namespace

class TestRxFramer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameTranscriptAsUnbounded_data();
    void sameTranscriptAsUnbounded();
    void boundedMemory();
};

void TestRxFramer::sameTranscriptAsUnbounded_data()
{
    QTest::addColumn<int>("limit");
    for (int limit : {8, 9, 12, 17, 30})
        QTest::addRow("limit %d", limit) << limit;
}

void TestRxFramer::sameTranscriptAsUnbounded()
{
    QFETCH(int, limit);
    for (quint32 seed = 1; seed <= 200; ++seed) {
        QRandomGenerator random(seed * 7919 + quint32(limit));
        RxFramer bounded(limit);
        ReferenceFramer reference;
        TranscriptModel boundedText(limit);
        TranscriptModel referenceText(limit);
        for (int i = 0; i < 300; ++i) {
            const QString chunk = randomChunk(random);
            const std::optional<QString> a = bounded.append(chunk);
            const std::optional<QString> b = reference.append(chunk);
            QCOMPARE(a.has_value(), b.has_value());
            if (a) {
                boundedText.append(*a + QLatin1String("\r\n"));
                referenceText.append(*b + QLatin1String("\r\n"));
            }
            // Typed characters land in between, as they do in the window.
            if (random.bounded(8) == 0) {
                const QString typed(1, QLatin1Char("*#15"[random.bounded(4)]));
                boundedText.append(typed);
                referenceText.append(typed);
            }
            if (boundedText.text() != referenceText.text()) {
                QFAIL(qPrintable(
                    QStringLiteral("seed %1, chunk %2: \"%3\" instead of \"%4\"")
                        .arg(seed)
                        .arg(i)
                        .arg(visible(boundedText.text()), visible(referenceText.text()))));
            }
            QVERIFY(bounded.rxBuffer().size() <= 2 * limit);
        }
    }
}

void TestRxFramer::boundedMemory()
{
    constexpr int keep = 10000;
    RxFramer framer(keep);
    const QString chunk = QString(4093, QLatin1Char('7')) + QLatin1String("#*#");
    qsizetype pushed = 0;
    while (pushed < 10 * 1024 * 1024) {
        QVERIFY(!framer.append(chunk));
        pushed += chunk.size();
        QVERIFY(framer.rxBuffer().size() <= 2 * keep);
    }
    QVERIFY(!framer.append(QString(3 * keep, QLatin1Char('1'))));
    QVERIFY(framer.rxBuffer().size() <= 2 * keep);
    // What is kept is the newest text, and it still ends a frame.
    const std::optional<QString> frame = framer.append(QStringLiteral("9##"));
    QVERIFY(frame);
    QVERIFY(frame->size() >= keep);
    QVERIFY(frame->endsWith(QString(keep, QLatin1Char('1')) + QLatin1String("9##")));
    QVERIFY(framer.rxBuffer().isEmpty());
}

QTEST_APPLESS_MAIN(TestRxFramer)
#include "tst_rxframer.moc"
