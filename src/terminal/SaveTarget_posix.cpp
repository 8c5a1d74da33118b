#include "SaveTarget.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool fail(QString *error, int code)
{
    if (error)
        *error = qt_error_string(code);
    return false;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    // A FIFO whose reader has gone answers EPIPE, reported like any failure, rather than
    // ending the program with SIGPIPE.
    struct sigaction ignore = {};
    struct sigaction previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const int code = errno;
    sigaction(SIGPIPE, &previous, nullptr);
    errno = code;
    return done == bytes.size();
}
} // namespace

bool SaveTarget::keepOwnerAndMode(int handle, const QString &path)
{
    struct stat old = {};
    struct stat now = {};
    if (::stat(QFile::encodeName(path).constData(), &old) != 0 || ::fstat(handle, &now) != 0)
        return false;
    if ((old.st_uid != now.st_uid || old.st_gid != now.st_gid) &&
        ::fchown(handle, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: a change of owner clears the set-user and set-group bits.
    return ::fchmod(handle, old.st_mode & 07777) == 0;
}

bool SaveTarget::syncToDisk(int handle, QString *error)
{
    return ::fsync(handle) == 0 || fail(error, errno);
}

bool SaveTarget::writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    // No O_TRUNC: the old content goes only once the new one is written. O_NONBLOCK for the
    // open alone, so that a FIFO without a reader fails at once instead of hanging the window;
    // O_NOCTTY, so that a terminal device never becomes the program's own.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error, errno);
    struct stat st = {};
    bool ok = ::fstat(fd, &st) == 0 && ::fcntl(fd, F_SETFL, 0) == 0;
    const bool regular = S_ISREG(st.st_mode);
#ifdef __linux__
    // Allocates every block the new content needs, holes included. Only a lack of space fails
    // the save: a file system that cannot reserve (EOPNOTSUPP, ...) is written without it,
    // every write checked all the same.
    if (ok && regular && ::fallocate(fd, 0, 0, off_t(bytes.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        ok = false;
#endif
    ok = ok && writeAll(fd, bytes);
    ok = ok && (!regular || (::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0));
    const int code = errno;
    if (::close(fd) != 0 && ok)
        return fail(error, errno);
    return ok || fail(error, code);
}
