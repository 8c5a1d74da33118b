#include "SaveFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &previousFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString SaveFolder::start()
{
    // The documents folder is where the desktop says it is, whether it was made or not; a
    // folder that does not exist would make the dialog open in its parent with its name as
    // the proposed file name.
    const QString candidates[] = {
        previousFolder(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QDir::homePath(),
    };
    for (const QString &folder : candidates) {
        const QFileInfo info(folder);
        if (!folder.isEmpty() && info.isDir() && !info.isRoot())
            return info.absoluteFilePath();
    }
    return QDir::tempPath(); // a user with no home folder
}

void SaveFolder::remember(const QString &savedFile)
{
    previousFolder() = QFileInfo(savedFile).absolutePath();
}
