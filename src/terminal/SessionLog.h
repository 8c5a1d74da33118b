#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QFile>
#include <QString>

// The session log: one line for every frame on the line and every event of the session,
// appended to a file that is never truncated. A line is
//
//     YYYY-MM-DD HH:MM:SS.mmm <TAB> RX|TX|-- <TAB> text <LF>
//
// in local time, the text escaped (escape()) so that the file is plain ASCII, one record a
// line, and the bytes can be had back exactly (unescape()).
//
// Records are composed in memory and reach the system at flush(), in one write: the owner
// flushes at the end of each handler that records, so that a busy line costs one write per
// read of the port and nothing it has handled waits beyond the handler. Typed characters
// gather into one TX line, composed when they end in "##" or before any other record.
class SessionLog
{
public:
    enum class Kind { Received, Sent, Event };

    // Opens `path` for appending, creating it when missing; false with the system's reason.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    void received(QStringView frame); // RX: one character per byte (Latin-1)
    void sent(QByteArrayView bytes);  // TX: a frame sent in one write (the probe)
    void typed(char character);       // TX: one key; gathered into one line per frame
    void event(QStringView text);     // --

    // Hands what was composed to the system. On failure the log is closed, what was
    // composed is dropped and `error` gets the system's reason.
    bool flush(QString *error);
    // Writes the typed characters still waiting and closes the file.
    bool close(QString *error);

    // Every byte below 0x20, 0x7F, every byte above 0x7F and the backslash as \xHH (upper-
    // case hex digits); every other byte as it is.
    static QByteArray escape(QByteArrayView bytes);
    // The bytes back from escape()'s text; a backslash not followed by "x" and two hex
    // digits stands for itself.
    static QByteArray unescape(QByteArrayView text);
    // One whole line of the log.
    static QByteArray line(const QDateTime &when, Kind kind, QByteArrayView bytes);

private:
    void compose(Kind kind, QByteArrayView bytes, qint64 msecsSinceEpoch);
    void composeTyped();
    // "YYYY-MM-DD HH:MM:SS" of the second, made once per second.
    const QByteArray &stamp(qint64 second);

    QFile m_file;
    QByteArray m_pending;
    QByteArray m_typed;
    qint64 m_typedAt = 0;
    qint64 m_stampSecond = -1;
    QByteArray m_stamp;
};
