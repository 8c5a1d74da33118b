#include "PortNames.h"

QString PortNames::deviceFor(int port, const QString &configured)
{
    if (port <= 0)
        return QString();
#ifdef Q_OS_WIN
    Q_UNUSED(configured);
    return QStringLiteral("COM") + QString::number(port);
#else
    if (!configured.trimmed().isEmpty())
        return configured.trimmed();
    return QStringLiteral("/dev/ttyS") + QString::number(port - 1);
#endif
}
