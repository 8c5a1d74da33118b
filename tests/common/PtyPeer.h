#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// The far end of a pseudo-terminal: the test plays the adapter on it. The program opens
// devicePath() as its serial port; the test reads what the program writes and writes what
// the adapter would send.
class PtyPeer
{
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_device; }

    void write(const QByteArray &bytes);
    // Reads what has arrived until `count` bytes are in or `timeoutMs` passes, while the
    // Qt event loop keeps running (the program under test lives in the same process).
    QByteArray read(int count, int timeoutMs = 2000);
    // Everything that arrives within `ms`, with events running.
    QByteArray readFor(int ms);
    // Each separate read() of the line, as it came (to count one-byte writes).
    QList<QByteArray> readChunks(int count, int timeoutMs = 2000);

    // The line settings the program gave the device.
    termios lineSettings() const;

    // Closes the far end: to the program it looks like an unplugged adapter.
    void hangUp();

private:
    int m_master = -1;
    QString m_device;
};
