#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A settings file in INI form, kept as the very bytes it was read from. A value is the raw
// text after the first "=" of its line, trimmed: no quoting, no escapes, no lists, bytes of
// any encoding. Changing a value rewrites the bytes of that value only; a missing key is
// added after the last key of its section, a missing section at the end of the file. Comments,
// blank lines, order, line ends and every other byte stay as they were.
//
// Section and key names are compared exactly. Where a key appears more than once in a
// section (or a section more than once), the last one counts, for reading and writing.
class IniFile
{
public:
    // A file bigger than this is not read: no settings file of this program comes near it,
    // and reading one costs time and memory for nothing.
    static constexpr qint64 kMaxSize = 1024 * 1024;

    enum class Status { Read, Missing, TooLarge, Unreadable };

    IniFile() = default;
    explicit IniFile(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    // Reads `path` anew; unless Read, the content is empty afterwards.
    Status load(const QString &path);
    // Writes the content to `path` atomically: afterwards the file is either the old one or
    // the new one, never a part of it. On failure `error` says why.
    bool save(const QString &path, QString *error) const;

    const QByteArray &bytes() const { return m_bytes; }

    // The value of `key` in `section`; a null array when there is no such key.
    QByteArray value(QByteArrayView section, QByteArrayView key) const;
    // Sets the value; returns whether the content changed. A value that holds a line break
    // or blanks at either end could not be read back as written, and is refused.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // Removes the key's line; returns whether there was one.
    bool remove(QByteArrayView section, QByteArrayView key);

private:
    // Where a key is, and where a new key of its section would go.
    struct Place
    {
        qsizetype lineStart = -1;
        qsizetype valueStart = -1;
        qsizetype valueEnd = -1;
        qsizetype lineEnd = -1;    // after the line's end
        qsizetype sectionEnd = -1; // after the last key line (or the header) of the section
    };
    Place find(QByteArrayView section, QByteArrayView key) const;
    QByteArray newline() const;
    void insertLine(qsizetype at, const QByteArray &line);

    QByteArray m_bytes;
};
