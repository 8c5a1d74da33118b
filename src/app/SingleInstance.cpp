#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString lockFilePath(const QString &applicationName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + applicationName + QStringLiteral(".lock");
}
} // namespace

SingleInstance::SingleInstance(const QString &applicationName)
    : m_lock(lockFilePath(applicationName))
{
    // Only the holder's death frees the lock, never its age: a copy that runs for weeks
    // keeps it.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    // tryLock removes a lock whose process is gone, so a killed copy never blocks a start.
    return m_lock.tryLock(0);
}
