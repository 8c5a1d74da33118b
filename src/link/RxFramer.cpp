#include "RxFramer.h"

RxFramer::RxFramer(qsizetype keep)
    : m_keep(qMax<qsizetype>(keep, 3))
{
}

std::optional<QString> RxFramer::append(QLatin1StringView received)
{
    if (received.isEmpty())
        return std::nullopt;
    m_buffer += received;
    return takeFrame();
}

std::optional<QString> RxFramer::takeFrame()
{
    if (m_buffer.size() >= 3 && m_buffer.endsWith(QLatin1String("##"))) {
        QString frame;
        frame.swap(m_buffer);
        return frame;
    }
    // Cut back to `keep` characters only once twice as many have piled up, so that a
    // long run costs one copy per `keep` characters received, not one per read.
    if (m_buffer.size() > 2 * m_keep)
        m_buffer.remove(0, m_buffer.size() - m_keep);
    return std::nullopt;
}
