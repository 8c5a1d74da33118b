#include "SessionLog.h"

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
const QByteArray kFrameEnd = QByteArrayLiteral("##");

QByteArrayView kindText(SessionLog::Kind kind)
{
    switch (kind) {
    case SessionLog::Kind::Received:
        return "RX";
    case SessionLog::Kind::Sent:
        return "TX";
    case SessionLog::Kind::Event:
        break;
    }
    return "--";
}

bool plain(uchar c)
{
    return c >= 0x20 && c < 0x7F && c != '\\';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendEscaped(QByteArray &out, QByteArrayView bytes)
{
    for (const char c : bytes) {
        const auto u = uchar(c);
        if (plain(u)) {
            out += c;
        } else {
            const char code[] = {'\\', 'x', kHex[u >> 4], kHex[u & 0xF]};
            out.append(code, sizeof code);
        }
    }
}

void appendLine(QByteArray &out, QByteArrayView stamp, int msecs, SessionLog::Kind kind,
                QByteArrayView bytes)
{
    const char fraction[] = {'.', char('0' + msecs / 100), char('0' + msecs / 10 % 10),
                             char('0' + msecs % 10), '\t'};
    out += stamp;
    out.append(fraction, sizeof fraction);
    out += kindText(kind);
    out += '\t';
    appendEscaped(out, bytes);
    out += '\n';
}

QByteArray secondText(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
}
} // namespace

bool SessionLog::open(const QString &path, QString *error)
{
    m_pending.clear();
    m_typed.clear();
    m_file.setFileName(path);
    // Append: every write goes to the end of the file as it stands, nothing is truncated.
    // Unbuffered: what flush() writes is with the system when it returns.
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
    if (error)
        *error = m_file.errorString();
    return false;
}

void SessionLog::received(QStringView frame)
{
    composeTyped();
    compose(Kind::Received, frame.toLatin1(), QDateTime::currentMSecsSinceEpoch());
}

void SessionLog::sent(QByteArrayView bytes)
{
    composeTyped();
    compose(Kind::Sent, bytes, QDateTime::currentMSecsSinceEpoch());
}

void SessionLog::typed(char character)
{
    m_typed += character;
    m_typedAt = QDateTime::currentMSecsSinceEpoch();
    if (m_typed.endsWith(kFrameEnd))
        composeTyped();
}

void SessionLog::event(QStringView text)
{
    composeTyped();
    compose(Kind::Event, text.toUtf8(), QDateTime::currentMSecsSinceEpoch());
}

void SessionLog::composeTyped()
{
    if (m_typed.isEmpty())
        return;
    // Stamped with the time of its last key, when the frame so far was on the line.
    compose(Kind::Sent, m_typed, m_typedAt);
    m_typed.clear();
}

void SessionLog::compose(Kind kind, QByteArrayView bytes, qint64 msecsSinceEpoch)
{
    if (!isOpen())
        return;
    appendLine(m_pending, stamp(msecsSinceEpoch / 1000), int(msecsSinceEpoch % 1000), kind, bytes);
}

const QByteArray &SessionLog::stamp(qint64 second)
{
    if (second != m_stampSecond) {
        m_stampSecond = second;
        m_stamp = secondText(QDateTime::fromMSecsSinceEpoch(second * 1000));
    }
    return m_stamp;
}

bool SessionLog::flush(QString *error)
{
    qsizetype done = 0;
    while (isOpen() && done < m_pending.size()) {
        // A write that the disk cut short is tried again for the rest, which then gives the
        // reason.
        const qint64 wrote = m_file.write(m_pending.constData() + done, m_pending.size() - done);
        if (wrote <= 0) {
            if (error)
                *error = m_file.errorString();
            m_file.close();
            m_pending.clear();
            m_typed.clear();
            return false;
        }
        done += qsizetype(wrote);
    }
    // Keeps its room for the next records.
    m_pending.resize(0);
    return true;
}

bool SessionLog::close(QString *error)
{
    composeTyped();
    const bool written = flush(error);
    m_file.close();
    return written;
}

QByteArray SessionLog::escape(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    appendEscaped(out, bytes);
    return out;
}

QByteArray SessionLog::unescape(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexValue(text[i + 2]), low = hexValue(text[i + 3]);
            if (high >= 0 && low >= 0) {
                out += char(high << 4 | low);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QByteArray SessionLog::line(const QDateTime &when, Kind kind, QByteArrayView bytes)
{
    QByteArray out;
    appendLine(out, secondText(when), when.time().msec(), kind, bytes);
    return out;
}
