#pragma once

#include "PortNames.h"

#include <QObject>

class AppSettings;
class InterfaceLink;

// The devices behind the nine entries of the port list, brought up to date from the user's
// [Ports] keys, the assignments stored so far and the serial devices present; a device seen
// for the first time has its entry stored at once. Never while the link is open or trying
// to open: a connection's entry stays what it was.
class PortDirectory : public QObject
{
    Q_OBJECT

public:
    using Entries = std::array<PortNames::Entry, PortNames::kPortCount>;

    PortDirectory(AppSettings &settings, const InterfaceLink &link, QObject *parent = nullptr);

    void refresh();
    const Entries &entries() const { return m_entries; }
    // The device that port `port` opens; "" for 0 or a number the list does not have.
    QString deviceFor(int port) const;

Q_SIGNALS:
    void changed();

private:
    AppSettings &m_settings;
    const InterfaceLink &m_link;
    Entries m_entries;
};
