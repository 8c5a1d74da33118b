#include "TranscriptFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString TranscriptFile::defaultFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool TranscriptFile::write(const QString &path, const QString &transcript, QString *error)
{
    QSaveFile file(path);
    // Every character came from one byte on the line (or a typed key): write that byte.
    const QByteArray bytes = transcript.toLatin1() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
