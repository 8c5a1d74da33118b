#pragma once

#include <QString>

// What the terminal view has yet to show of its transcript's changes: drop drop() characters
// from the front of what it shows, then append appended(); or, where that would not give
// the transcript's text as it is drawn, show it all anew (isReset()).
class PendingChanges
{
public:
    // The transcript appended piece; text is all it holds now, at most limit characters.
    void append(const QString &piece, const QString &text, qsizetype limit);
    void dropFront(qsizetype count);
    void reset() { m_reset = true; }

    bool isEmpty() const { return !m_reset && m_drop == 0 && m_append.isEmpty(); }
    bool isReset() const { return m_reset; }
    qsizetype drop() const { return m_drop; }
    const QString &appended() const { return m_append; }
    // All that came since the last time shown, whether appended() still holds it or not.
    qsizetype addedSize() const { return m_addedSize; }
    qsizetype addedLineEnds() const { return m_addedLineEnds; }

    // The view shows the transcript as it is now, length characters.
    void shown(qsizetype length);

private:
    qsizetype m_shownLength = 0;
    qsizetype m_drop = 0;
    QString m_append;
    qsizetype m_addedSize = 0;
    qsizetype m_addedLineEnds = 0;
    bool m_reset = false;
};
