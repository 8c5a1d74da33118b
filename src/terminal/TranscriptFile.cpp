#include "TranscriptFile.h"

#include "SaveTarget.h"

#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace {
enum class Replaced { Yes, Failed, NotThisWay };

// Whether a new file renamed over this one would still be the same file to its user: a
// regular file with a single name, whose folder lets a new file be created beside it.
bool replaceable(const QFileInfo &file)
{
    std::error_code error;
    const std::filesystem::path name = file.filesystemFilePath();
    return std::filesystem::is_regular_file(name, error) &&
           std::filesystem::hard_link_count(name, error) == 1 && !error &&
           QFileInfo(file.absolutePath()).isWritable();
}

// Writes a complete new file beside the old one and renames it over it, so that the old
// content stays whole until the new one is all on the disk.
Replaced replace(const QString &path, bool exists, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered: a failure of the device then fails the write that met it. QSaveFile does not
    // see a failure met while flushing its buffer inside commit(), and would rename the
    // incomplete file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return Replaced::Failed;
    }
    if (exists && !SaveTarget::keepOwnerAndMode(file.handle(), path))
        return Replaced::NotThisWay; // the new file is discarded with `file`
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            *error = file.errorString();
            return Replaced::Failed;
        }
        done += n;
    }
    if (!file.flush()) {
        *error = file.errorString();
        return Replaced::Failed;
    }
    if (!SaveTarget::syncToDisk(file.handle(), error))
        return Replaced::Failed;
    if (!file.commit()) {
        *error = file.errorString();
        return Replaced::Failed;
    }
    return Replaced::Yes;
}
} // namespace

bool TranscriptFile::write(const QString &path, const QString &transcript, QString *error)
{
    // Every character came from one byte on the line (or a typed key): write that byte.
    const QByteArray bytes = transcript.toLatin1() + "\r\n";
    QString reason;
    const QFileInfo chosen(path);
    const bool exists = chosen.exists();
    const QString target = exists ? chosen.canonicalFilePath() : path;
    const Replaced replaced = !exists || replaceable(QFileInfo(target))
                                  ? replace(target, exists, bytes, &reason)
                                  : Replaced::NotThisWay;
    const bool ok = replaced == Replaced::NotThisWay
                        ? SaveTarget::writeInPlace(target, bytes, &reason)
                        : replaced == Replaced::Yes;
    if (!ok && error)
        *error = reason;
    return ok;
}
