#pragma once

#include <QString>

// Which serial device the port list's entry COM n opens.
namespace PortNames {

// On Windows "COMn"; elsewhere the device configured for COM n (`configured`, from the
// [Ports] settings) or, without one, /dev/ttyS<n-1>. Port 0 means no port: "".
QString deviceFor(int port, const QString &configured);

// Reads a stored port choice: a whole number from 0 to 9, or -1 for anything else.
int parsePortSetting(const QString &stored);

} // namespace PortNames
