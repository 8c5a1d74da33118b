#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <chrono>
#include <cstdio>

using namespace std::chrono_literals;

namespace {
// A starting copy creates its lock file and then writes its process and host into it: a file
// younger than this with neither in it may be one being written.
constexpr auto kSettle = 1s;
// How long a start tries before it runs without the lock.
constexpr auto kPatience = 5s;

QString lockFilePath(const QString &applicationName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + applicationName + QStringLiteral(".lock");
}

void tell(const QString &path, const QString &what)
{
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(QDir::toNativeSeparators(path)), qPrintable(what));
}
} // namespace

SingleInstance::SingleInstance(const QString &applicationName)
    : m_path(lockFilePath(applicationName))
    , m_lock(m_path)
{
    // Never judged by its age: a copy that runs for weeks keeps its lock. Whether a lock file
    // is held is asked of the file itself (takeOver).
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    qint64 pid = 0;
    QString host, application;
    bool leftOver = m_lock.getLockInfo(&pid, &host, &application);
    const QDeadlineTimer patience(kPatience);
    // tryLock itself removes the lock of a copy of this host that has ended.
    while (!m_lock.tryLock(0)) {
        if (m_lock.error() == QLockFile::PermissionError)
            return bypass(QStringLiteral("its folder may not be written"));
        if (m_lock.error() != QLockFile::LockFailedError)
            return bypass(QStringLiteral("it cannot be created"));
        QString why;
        switch (takeOver(&why)) {
        case Verdict::LiveCopy:
            return false;
        case Verdict::Unusable:
            return bypass(why);
        case Verdict::Removed:
            if (!why.isEmpty())
                tell(m_path, QStringLiteral("taken over: ") + why);
            leftOver = false;
            break;
        case Verdict::Settling:
            QThread::msleep(20);
            break;
        }
        if (patience.hasExpired())
            return bypass(QStringLiteral("it could not be taken in %1 s").arg(kPatience.count()));
    }
    if (leftOver)
        tell(m_path, QStringLiteral("taken over: process %1 has ended").arg(pid));
    return true;
}

SingleInstance::Verdict SingleInstance::takeOver(QString *why)
{
    // Under a second lock, so that two starts never both remove the file, nor one the lock that
    // another has just made in its place: everything is read again under it. The same lock
    // guards QLockFile's own removal of a stale lock.
    QLockFile removal(m_path + QStringLiteral(".rmlock"));
    removal.setStaleLockTime(int(std::chrono::milliseconds(kSettle).count()));
    if (!removal.tryLock(kPatience)) {
        *why = QStringLiteral("its removal lock cannot be taken");
        return Verdict::Unusable;
    }
    const QFileInfo file(m_path);
    if (!file.exists() && !file.isSymLink())
        return Verdict::Removed; // gone meanwhile; try again
    if (!file.isFile()) {
        *why = QStringLiteral("it is not a file");
        return Verdict::Unusable;
    }
    if (!file.isReadable() || !file.isWritable()) {
        // No copy of this user's made it.
        *why = QStringLiteral("this user may not read or write it");
        return QFile::remove(m_path) ? Verdict::Removed : Verdict::Unusable;
    }
    qint64 pid = 0;
    QString host, application;
    if (m_lock.getLockInfo(&pid, &host, &application)) {
        *why = host.isEmpty() || host == QSysInfo::machineHostName()
                   ? QStringLiteral("process %1 does not hold it").arg(pid)
                   : QStringLiteral("it names host %1").arg(host);
    } else {
        const qint64 age = file.lastModified().msecsTo(QDateTime::currentDateTime());
        if (qAbs(age) < std::chrono::milliseconds(kSettle).count())
            return Verdict::Settling;
        *why = file.size() == 0 ? QStringLiteral("it is empty")
                                : QStringLiteral("it names no process and host");
    }
    // A running copy keeps a lock on its open lock file (flock and fcntl on POSIX, a sharing
    // mode on Windows) that makes this removal fail, whatever the file says.
    return m_lock.removeStaleLockFile() ? Verdict::Removed : Verdict::LiveCopy;
}

bool SingleInstance::bypass(const QString &why) const
{
    tell(m_path, QStringLiteral("not used, this copy runs without it: ") + why);
    return true;
}
