#include "ConnectionClock.h"

void ConnectionClock::tick()
{
    if (++m_seconds == 60) {
        m_seconds = 0;
        ++m_minutes;
    }
    if (m_minutes == 60) {
        m_minutes = 0;
        ++m_hours;
    }
}

QString ConnectionClock::text(const QString &label) const
{
    const auto two = [](int n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    return label + QStringLiteral(": ") + two(m_hours) + QLatin1Char('.') + two(m_minutes) +
           QLatin1Char('.') + two(m_seconds);
}
