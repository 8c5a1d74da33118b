#pragma once

#include "SessionLog.h"

#include <QObject>

class Commands;
class ConnectionView;
class InterfaceLink;
class MainStatusBar;
struct CommError;

// Feeds the session log, while one is open, with what happens on the line in the order it
// happens: the frames received (as the transcript gets them), the probe and the typed keys,
// the connection attempts, what status panel 1 shows and the failure lines of the receive
// path. Each handler that records hands its records to the system before it returns.
class SessionLogFeed : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        const InterfaceLink *link;
        const Commands *commands;
        const MainStatusBar *statusBar;
        const ConnectionView *connectionView;
    };

    SessionLogFeed(const Parts &parts, QObject *parent);
    // The program ends: the log is stopped.
    ~SessionLogFeed() override;

    bool isLogging() const { return m_log.isOpen(); }
    QString path() const { return m_log.path(); }

    // Appends to the file at `path` from now on, beginning with the session start; false
    // with the system's reason when the file cannot be opened or written.
    bool start(const QString &path, QString *error);
    // Writes "Log stopped" and closes the file; false (with failed()) when that write fails.
    bool stop();

Q_SIGNALS:
    // Writing failed: the log is closed; `reason` is the system's.
    void failed(const QString &reason);

private:
    void onConnecting(int port, const QString &device);
    void onLineFailure(const CommError &failure);
    // Hands what was recorded to the system; a failure closes the log and is reported.
    void flush();
    template <typename Record> void record(Record &&write)
    {
        if (!m_log.isOpen())
            return;
        write();
        flush();
    }

    SessionLog m_log;
};
