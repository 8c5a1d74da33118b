#pragma once

#include <QObject>
#include <QTimer>

// Watches an open serial handle for a device that has gone away (an unplugged adapter, a
// closed pseudo-terminal) without the port layer noticing: some Qt versions read nothing
// and report nothing on a hang-up. Asks the system a few times a second, never blocking.
class HangupCheck : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 250;

    explicit HangupCheck(QObject *parent = nullptr);

    void start(qintptr handle);
    void stop();

    // Whether the device behind `handle` has hung up; false where the platform cannot tell.
    static bool hungUp(qintptr handle);

Q_SIGNALS:
    // Once per start: the device behind the handle is gone.
    void lineHungUp();

private:
    void check();

    QTimer m_timer;
    qintptr m_handle = -1;
};
