#include "SaveTarget.h"

#include <QFile>

// On Windows the replacing file takes the old one's permissions from QSaveFile and the access
// list that its folder gives new files; the in-place write (a file with several names, a
// folder that may not be written) truncates first.

bool SaveTarget::keepOwnerAndMode(int, const QString &)
{
    return true;
}

bool SaveTarget::syncToDisk(int, QString *)
{
    return true;
}

bool SaveTarget::writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                    file.write(bytes) == bytes.size() && file.flush();
    if (!ok && error)
        *error = file.errorString();
    file.close();
    if (ok && file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return ok;
}
