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

int PortNames::parsePortSetting(const QString &stored)
{
    const QString text = stored.trimmed();
    if (text.isEmpty() || text.size() > 3)
        return -1;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > u'9')
            return -1;
    }
    const int value = text.toInt();
    return value <= 9 ? value : -1;
}
