#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running for the same user. The lock lives as
// long as this object. Only a lock held by a running copy stops a start: a lock file that no
// running copy holds (left by a killed copy, empty, garbage, from another host, not this
// user's) is taken over, and one that can be neither held nor taken over is bypassed; the start
// says which, and why, on standard error.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &applicationName);

    // False only when another copy runs; otherwise this copy runs, holding the lock if it can.
    bool acquire();

private:
    enum class Verdict { Removed, LiveCopy, Settling, Unusable };

    Verdict takeOver(QString *why);
    bool bypass(const QString &why) const;

    QString m_path;
    QLockFile m_lock;
};
