#include "PortDirectory.h"

#include "AppSettings.h"
#include "InterfaceLink.h"
#include "SerialDevices.h"

#include <QFile>
#include <QFileInfo>

PortDirectory::PortDirectory(AppSettings &settings, const InterfaceLink &link, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_link(link)
{
}

void PortDirectory::refresh()
{
    if (m_link.state() != InterfaceLink::State::Closed)
        return;
    const QList<PortNames::Device> devices = SerialDevices::present();
#ifdef Q_OS_WIN
    // There COM n is the port COMn: no keys, nothing stored.
    Q_UNUSED(m_settings);
    for (int n = 0; n < PortNames::kPortCount; ++n) {
        PortNames::Entry &entry = m_entries[n];
        entry = {PortNames::windowsDevice(n + 1), PortNames::windowsDevice(n + 1), QString(),
                 PortNames::Source::BuiltIn, false};
        for (const PortNames::Device &device : devices) {
            if (device.path == entry.device) {
                entry.present = true;
                entry.description = device.description;
            }
        }
    }
#else
    std::array<PortNames::UserKey, PortNames::kPortCount> keys;
    std::array<QString, PortNames::kPortCount> stored;
    for (int n = 0; n < PortNames::kPortCount; ++n) {
        keys[n].text = m_settings.portKey(n + 1);
        const QByteArray path = keys[n].text.trimmed();
        if (!path.isEmpty() && path.size() <= PortNames::kMaxPathBytes)
            keys[n].resolved = QFileInfo(QFile::decodeName(path)).canonicalFilePath();
        stored[n] = m_settings.assignedDevice(n + 1);
    }
    const PortNames::Assignment assignment = PortNames::assign(keys, stored, devices);
    if (assignment.stored != stored) {
        m_settings.setAssignedDevices(
            QStringList(assignment.stored.begin(), assignment.stored.end()));
    }
    m_entries = assignment.entries;
#endif
    Q_EMIT changed();
}

QString PortDirectory::deviceFor(int port) const
{
    return port >= 1 && port <= PortNames::kPortCount ? m_entries[port - 1].device : QString();
}
