#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

const QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
} // namespace

IniFile::Status IniFile::load(const QString &path)
{
    m_bytes.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return Status::Missing;
    // A FIFO or a device in its place would block or never end.
    if (!info.isFile())
        return Status::Unreadable;
    if (info.size() > kMaxSize)
        return Status::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::Unreadable;
    // Read at most one byte more than allowed: the file may grow while it is read.
    QByteArray bytes = file.read(kMaxSize + 1);
    if (bytes.size() > kMaxSize)
        return Status::TooLarge;
    if (file.error() != QFileDevice::NoError)
        return Status::Unreadable;
    m_bytes = bytes;
    return Status::Read;
}

bool IniFile::save(const QString &path, QString *error) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // QSaveFile writes beside the file and renames over it at commit; it follows a link to
    // the file it names and keeps the file's permissions.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != m_bytes.size() ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

IniFile::Place IniFile::find(QByteArrayView section, QByteArrayView key) const
{
    Place place;
    const QByteArrayView all(m_bytes);
    bool inSection = false;
    qsizetype pos = all.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < all.size()) {
        const qsizetype newline = all.indexOf('\n', pos);
        const qsizetype lineEnd = newline < 0 ? all.size() : newline + 1;
        const QByteArrayView line = all.sliced(pos, (newline < 0 ? all.size() : newline) - pos);
        const QByteArrayView text = trimmed(line);
        const qsizetype lineStart = pos;
        pos = lineEnd;
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            const QByteArrayView name =
                trimmed(text.sliced(1, (close < 0 ? text.size() : close) - 1));
            inSection = name == section;
            if (inSection)
                place.sectionEnd = lineEnd;
            continue;
        }
        if (!inSection || text.isEmpty() || text.startsWith(';') || text.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        place.sectionEnd = lineEnd;
        if (trimmed(line.first(equals)) != key)
            continue;
        qsizetype start = equals + 1;
        qsizetype end = line.size();
        while (start < end && isBlank(line[start]))
            ++start;
        while (end > start && isBlank(line[end - 1]))
            --end;
        place.lineStart = lineStart;
        place.valueStart = lineStart + start;
        place.valueEnd = lineStart + end;
        place.lineEnd = lineEnd;
    }
    return place;
}

QByteArray IniFile::value(QByteArrayView section, QByteArrayView key) const
{
    const Place place = find(section, key);
    if (place.lineStart < 0)
        return QByteArray();
    // Never null, also when empty: the key is there.
    QByteArray value = m_bytes.mid(place.valueStart, place.valueEnd - place.valueStart);
    if (value.isNull())
        value = QByteArray("");
    return value;
}

bool IniFile::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (value.contains('\n') || trimmed(value).size() != value.size())
        return false;
    const Place place = find(section, key);
    if (place.lineStart >= 0) {
        if (QByteArrayView(m_bytes).sliced(place.valueStart, place.valueEnd - place.valueStart) ==
            value)
            return false;
        m_bytes.replace(place.valueStart, place.valueEnd - place.valueStart, value);
        return true;
    }
    const QByteArray line = key.toByteArray() + '=' + value.toByteArray() + newline();
    if (place.sectionEnd >= 0) {
        insertLine(place.sectionEnd, line);
        return true;
    }
    // A new section at the end, after a blank line unless there is one already.
    QByteArray block = '[' + section.toByteArray() + ']' + newline() + line;
    const QByteArray lastLine = m_bytes.mid(m_bytes.lastIndexOf('\n', m_bytes.size() - 2) + 1);
    if (!m_bytes.isEmpty() && !lastLine.trimmed().isEmpty())
        block.prepend(newline());
    insertLine(m_bytes.size(), block);
    return true;
}

bool IniFile::remove(QByteArrayView section, QByteArrayView key)
{
    const Place place = find(section, key);
    if (place.lineStart < 0)
        return false;
    m_bytes.remove(place.lineStart, place.lineEnd - place.lineStart);
    return true;
}

void IniFile::insertLine(qsizetype at, const QByteArray &line)
{
    // The last line of a file may lack its line end.
    if (at == m_bytes.size() && !m_bytes.isEmpty() && !m_bytes.endsWith('\n')) {
        m_bytes.append(newline());
        at = m_bytes.size();
    }
    m_bytes.insert(at, line);
}

QByteArray IniFile::newline() const
{
    const qsizetype first = m_bytes.indexOf('\n');
    return first > 0 && m_bytes.at(first - 1) == '\r' ? QByteArray("\r\n") : QByteArray("\n");
}
