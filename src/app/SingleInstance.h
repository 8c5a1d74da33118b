#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running for the same user. The lock lives as
// long as this object; a lock left by a copy that was killed is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &applicationName);

    // True when no other copy runs; this copy then holds the lock.
    bool acquire();

private:
    QLockFile m_lock;
};
