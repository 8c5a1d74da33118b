#include "TranscriptModel.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

TranscriptModel::TranscriptModel(int limit, QObject *parent)
    : QObject(parent)
    , m_limit(limit)
{
}

qsizetype TranscriptModel::cutPosition(QStringView text, int limit)
{
    const qsizetype length = text.size();
    qsizetype cut = 0;
    while (length - cut > limit) {
        const qsizetype crlf = text.indexOf(kCrLf, cut);
        if (crlf < 0)
            return length - limit;
        cut = crlf + 2;
    }
    return cut;
}

void TranscriptModel::append(const QString &piece)
{
    if (piece.isEmpty())
        return;
    // Only the last limit + 2 characters of a long piece can decide what survives (the two
    // extra ones tell whether a line starts right at the limit), and none of the old text
    // can; starting from that tail gives the same text without copying the rest.
    if (piece.size() > qsizetype(m_limit) + 2) {
        clear();
        const QString tail = piece.right(m_limit + 2);
        m_text = tail;
        Q_EMIT appended(tail);
    } else {
        m_text += piece;
        Q_EMIT appended(piece);
    }
    const qsizetype cut = cutPosition(m_text, m_limit);
    if (cut > 0) {
        m_text.remove(0, cut);
        Q_EMIT frontRemoved(cut);
    }
}

void TranscriptModel::appendFrame(const QString &frame)
{
    append(frame + kCrLf);
}

void TranscriptModel::appendLineFailure(int number, const QString &description)
{
    append(kCrLf + QString::number(number) + QLatin1Char('-') + description + kCrLf);
}

void TranscriptModel::clear()
{
    m_text.clear();
    Q_EMIT cleared();
}
