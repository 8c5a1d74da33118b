#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A broken invariant stops the fuzzer with the input that broke it.
inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

// The transcript rule written the plain way, one line per pass: what the real model must
// agree with.
inline void referenceTrim(QString &text, int limit)
{
    while (text.size() > limit) {
        const qsizetype crlf = text.indexOf(QLatin1String("\r\n"));
        text = crlf < 0 ? text.mid(1) : text.mid(crlf + 2);
    }
}

// Reads the fuzzer's bytes as a stream of small numbers and byte runs.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }

    // Up to `max` bytes as Latin-1 text; a few bytes stand for the characters that matter.
    QString text(size_t max)
    {
        QString out;
        const size_t n = qMin<size_t>(max, m_size - qMin(m_pos, m_size));
        for (size_t i = 0; i < n; ++i) {
            const uint8_t b = m_data[m_pos++];
            out += b % 8 < 3 ? QChar(QLatin1Char("#\r\n"[b % 8])) : QChar(char16_t(b));
        }
        return out;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
