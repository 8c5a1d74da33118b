#include "PendingChanges.h"

void PendingChanges::append(const QString &piece, const QString &text, qsizetype limit)
{
    m_addedSize += piece.size();
    m_addedLineEnds += piece.count(u'\n');
    if (m_reset)
        return;
    // A CR LF split between two changes: the CR is already shown as a lone CR, and only
    // showing it anew shows it as the first half of its pair again.
    const qsizetype before = text.size() - piece.size() - 1;
    if (m_append.isEmpty() && piece.startsWith(u'\n') && before >= 0 && text.at(before) == u'\r')
        m_reset = true;
    m_append += piece;
    // More than the transcript can hold is pending: showing it anew is cheaper.
    if (m_append.size() > 2 * limit + 2)
        m_reset = true;
}

void PendingChanges::dropFront(qsizetype count)
{
    if (m_reset)
        return;
    m_drop += count;
    if (m_drop > m_shownLength)
        m_reset = true;
}

void PendingChanges::shown(qsizetype length)
{
    m_shownLength = length;
    m_drop = 0;
    m_append.clear();
    m_addedSize = 0;
    m_addedLineEnds = 0;
    m_reset = false;
}
