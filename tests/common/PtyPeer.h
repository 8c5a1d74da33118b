#pragma once

#include "Waits.h"

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <termios.h>
#include <thread>

// The far end of a pseudo-terminal: the test plays the adapter on it. The program opens
// devicePath() as its serial port. A thread of its own reads everything the program writes
// as soon as it arrives, and answers a trigger (the probe) at once, so that no answer
// depends on the test's event loop getting round to it in time.
class PtyPeer
{
public:
    // What the program sends to find the adapter, and the adapter's answer.
    static inline const QByteArray kProbe = QByteArrayLiteral("*#13**15##");
    static inline const QByteArray kAck = QByteArrayLiteral("*#*1##");

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_device; }

    // Whenever what has been read since the last answer ends with `trigger`, the reader
    // writes `reply` at once; an empty reply answers nothing.
    void setAnswer(const QByteArray &trigger, const QByteArray &reply);
    // Answers the probe, as the adapter does.
    void answerProbe() { setAnswer(kProbe, kAck); }

    void write(const QByteArray &bytes);
    // Writes `block` `times` times from a thread of its own, as fast as the line takes it,
    // while the events of the calling thread run; returns once all is written.
    void writeFlood(const QByteArray &block, qint64 times);
    // Everything read from the program so far.
    QByteArray received() const;
    // Waits, with the test's events running, until `count` bytes in all have been read.
    bool waitForReceived(qsizetype count, int timeoutMs = kTimeout) const;

    // How many bytes written here the program has not read yet.
    qsizetype unread() const;

    // The line settings the program gave the device.
    termios lineSettings() const;

    // Closes the far end: to the program it looks like an unplugged adapter.
    void hangUp();

private:
    void readLoop();

    int m_master = -1;
    int m_wake[2] = {-1, -1};
    QString m_device;
    std::thread m_reader;
    mutable QMutex m_mutex;
    QByteArray m_received;
    qsizetype m_answeredUpTo = 0;
    QByteArray m_trigger;
    QByteArray m_reply;
};
