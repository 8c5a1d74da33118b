#include "SerialDevices.h"

#include <QDir>
#include <QHash>
#include <QSerialPortInfo>

QList<PortNames::Device> SerialDevices::present()
{
    // udev names each USB serial device after its maker, model and serial number there;
    // the link stays the same whichever /dev/ttyUSBn the device gets.
    QHash<QString, QString> stableNames;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link :
         byId.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (link.isSymLink())
            stableNames.insert(link.canonicalFilePath(), link.absoluteFilePath());
    }
    QList<PortNames::Device> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString path = info.portName();
#else
        const QString path = info.systemLocation();
#endif
        devices.append({path, stableNames.value(path, path), info.description()});
    }
    return devices;
}
