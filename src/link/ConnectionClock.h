#pragma once

#include <QString>

// How long the connection has been open, counted in ticks of one second.
class ConnectionClock
{
public:
    void reset() { m_hours = m_minutes = m_seconds = 0; }
    void tick();

    int hours() const { return m_hours; }
    int minutes() const { return m_minutes; }
    int seconds() const { return m_seconds; }

    // "<label>: hh.mm.ss", each number with at least two digits (hours may have more).
    QString text(const QString &label) const;

private:
    // Hours keep counting past 255: a connection left open for weeks shows its real age.
    int m_hours = 0;
    int m_minutes = 0;
    int m_seconds = 0;
};
