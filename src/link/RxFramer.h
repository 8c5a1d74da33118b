#pragma once

#include <QString>

#include <optional>

// Collects the characters received from the interface (the receive buffer) and hands out a
// frame each time the collected text ends with "##" and holds at least three characters.
//
// The buffer is bounded: of a run of characters that never ends a frame only the last
// `keep` can ever be shown, because the transcript keeps at most that many. Keeping at
// least `keep` characters gives the transcript exactly the text an unbounded buffer would.
class RxFramer
{
public:
    explicit RxFramer(qsizetype keep);

    // Appends received bytes, one character each (Latin-1); returns the completed frame, if
    // this completes one.
    std::optional<QString> append(QLatin1StringView received);

    // The characters received since the last completed frame (its tail, when bounded).
    const QString &rxBuffer() const { return m_buffer; }

private:
    std::optional<QString> takeFrame();

    qsizetype m_keep;
    QString m_buffer;
};
