// Any sequence of appends and clears on the transcript: it never holds more than `limit`
// characters after a change, it always equals the plain one-line-per-pass rule, and the
// changes it reports, replayed on a copy, give the same text (that is what the view does).

#include "FuzzReference.h"
#include "TranscriptModel.h"

#include <QObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const int limit = 1 + in.byte() % 50;

    TranscriptModel model(limit);
    QString replayed;
    QObject::connect(&model, &TranscriptModel::appended,
                     [&](const QString &piece) { replayed += piece; });
    QObject::connect(&model, &TranscriptModel::frontRemoved, [&](qsizetype count) {
        check(count <= replayed.size());
        replayed.remove(0, count);
    });
    QObject::connect(&model, &TranscriptModel::cleared, [&] { replayed.clear(); });

    QString reference;
    while (!in.atEnd()) {
        const uint8_t op = in.byte();
        if (op == 0xFF) {
            model.clear();
            reference.clear();
        } else if (op >= 0xF0) {
            // A piece far longer than the limit.
            const QString piece = in.text(4) + QString(limit * 3, QLatin1Char('x')) + in.text(6);
            model.append(piece);
            reference += piece;
        } else {
            const QString piece = in.text(op % 32);
            model.append(piece);
            reference += piece;
        }
        referenceTrim(reference, limit);
        check(model.text().size() <= limit);
        check(model.text() == reference);
        check(replayed == model.text());
    }
    return 0;
}
