#pragma once

#include <QString>

// Which serial device the port list's entry COM n opens.
namespace PortNames {

// On Windows "COMn"; elsewhere the device configured for COM n (`configured`, from the
// [Ports] settings) or, without one, /dev/ttyS<n-1>. Port 0 means no port: "".
QString deviceFor(int port, const QString &configured);

} // namespace PortNames
