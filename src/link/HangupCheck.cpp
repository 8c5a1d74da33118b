#include "HangupCheck.h"

HangupCheck::HangupCheck(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &HangupCheck::check);
}

void HangupCheck::start(qintptr handle)
{
    m_handle = handle;
    m_timer.start();
}

void HangupCheck::stop()
{
    m_timer.stop();
    m_handle = -1;
}

void HangupCheck::check()
{
    if (!hungUp(m_handle))
        return;
    stop();
    Q_EMIT lineHungUp();
}
