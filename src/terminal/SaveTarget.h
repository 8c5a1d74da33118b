#pragma once

#include <QByteArray>
#include <QString>

// The operations of a save that depend on the platform: giving a new file the owner and mode
// of the file it replaces, syncing it before it takes that file's place, and writing into an
// existing file itself when replacing it would change what the file is.
namespace SaveTarget {

// Gives the new file open at `handle` the owner, group and mode of the file at `path`;
// false when the system does not allow it.
bool keepOwnerAndMode(int handle, const QString &path);

// Waits until what was written to `handle` is on the device, so that a failure the system
// reports late (a full disk, an I/O error) is seen. False with the system's reason.
bool syncToDisk(int handle, QString *error);

// Writes `bytes` into the existing file at `path` (a FIFO, a device, a file with several
// names, a file in a folder that may not be written), leaving it in place: it stays the same
// file, with its owner and mode. A regular file gets the space for `bytes` before the first old
// byte is overwritten, and is cut to their length afterwards, so that a full disk leaves its
// old content whole. False with the system's reason.
bool writeInPlace(const QString &path, const QByteArray &bytes, QString *error);

} // namespace SaveTarget
