// Received bytes, in reads of any size, through the bounded receive buffer into the
// transcript. After every read: the transcript holds at most `limit` characters; it equals
// what an unbounded buffer would have produced; and it is the end of everything shown, which
// in turn is exactly the bytes received so far minus the unfinished tail, each completed
// frame followed by CR LF.

#include "FuzzReference.h"
#include "RxFramer.h"
#include "TranscriptModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const int limit = 3 + in.byte() % 40;

    RxFramer framer(limit);
    TranscriptModel model(limit);

    QString unboundedBuffer, referenceText, everythingShown, framesShown, received;

    while (!in.atEnd()) {
        const uint8_t op = in.byte();
        // Every sixteenth a long run without the frame end, as from a line never sending "##".
        const QString chunk =
            op % 16 == 0 ? QString(limit * (1 + op / 16), QChar(u'a' + op % 3)) : in.text(op % 24);
        received += chunk;

        if (std::optional<QString> frame = framer.append(QLatin1StringView(chunk.toLatin1())))
            model.append(*frame + QStringLiteral("\r\n"));

        unboundedBuffer += chunk;
        if (unboundedBuffer.size() >= 3 && unboundedBuffer.endsWith(QLatin1String("##"))) {
            const QString line = unboundedBuffer + QStringLiteral("\r\n");
            everythingShown += line;
            framesShown += unboundedBuffer;
            referenceText += line;
            referenceTrim(referenceText, limit);
            unboundedBuffer.clear();
        }

        check(model.text().size() <= limit);
        check(model.text() == referenceText);
        check(everythingShown.endsWith(model.text()));
        check(unboundedBuffer.endsWith(framer.rxBuffer()));
        check(framer.rxBuffer().size() <= 2 * limit + chunk.size());
    }

    // The frames shown, and the unfinished tail, are what was received.
    check(framesShown + unboundedBuffer == received);
    return 0;
}
