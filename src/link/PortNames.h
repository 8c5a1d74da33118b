#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// Which serial device each entry of the port list, COM 1 to COM 9, opens on POSIX systems.
//
// An entry whose [Ports] key the user wrote opens that device, whatever else is there.
// Otherwise the computer's serial devices get entries the way Windows gives COM numbers: a
// built-in port /dev/ttySk keeps entry k+1; any other device is given, the first time it is
// seen, the lowest entry that is free (no key of the user's, no device present, no device
// given it before), and keeps it under its stable name, so that the same adapter is the
// same entry whatever /dev/ttyUSBn it gets. Only when no entry is free does a new device
// take the lowest entry kept for a device that is not present.
namespace PortNames {

constexpr int kPortCount = 9;
// A [Ports] value longer than a path can be names no device.
constexpr qsizetype kMaxPathBytes = 4096;

// A serial device that the system reports.
struct Device
{
    QString path;        // e.g. /dev/ttyUSB0
    QString stableName;  // its /dev/serial/by-id/ link where there is one, else the path
    QString description; // what the system says of it, e.g. "FT232R USB UART"
};

// A key the user wrote under [Ports]: its text, and the device it leads to with links
// resolved ("" when nothing is there).
struct UserKey
{
    QByteArray text;
    QString resolved;
};

enum class Source { None, User, BuiltIn, Assigned };

struct Entry
{
    QString device;      // what Connect opens; "" for nothing
    QString shown;       // how the list names it (the device; a key's text that is no path)
    QString description; // what the system says of the device present
    Source source = Source::None;
    bool present = false;
};

struct Assignment
{
    std::array<Entry, kPortCount> entries;
    // The entries given to devices, as stable names by entry ("" for none): what is stored.
    std::array<QString, kPortCount> stored;
};

// The entries, from the user's keys, the assignments stored so far and the devices present.
Assignment assign(const std::array<UserKey, kPortCount> &userKeys,
                  const std::array<QString, kPortCount> &stored, const QList<Device> &devices);

// The device that COM n opens on Windows, "COMn"; "" for port 0.
QString windowsDevice(int port);

} // namespace PortNames
