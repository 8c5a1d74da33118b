#pragma once

#include "PtyPeer.h"
#include "TestSettings.h"
#include "app/FrmMain.h"

#include <QAction>
#include <QTimer>

#include <memory>

// A main window with its own settings whose COM 1 is the far end of `peer`, connected: the
// peer answered the probe as the adapter does.
class ConnectedWindow
{
public:
    ConnectedWindow()
    {
        settings.writeIni("[Option]\nCom=1\nlanguage=en\n[Ports]\nCOM1=" +
                          peer.devicePath().toLocal8Bit() + "\n");
        window = std::make_unique<FrmMain>();
        window->show();
        QTimer::singleShot(20, [this] { peer.write("*#*1##"); });
        window->toolbarButton(1)->trigger();
        peer.readFor(20); // the probe
    }

    bool connected() const { return window->link().interfaceAnswered(); }

    TestSettings settings;
    PtyPeer peer;
    std::unique_ptr<FrmMain> window;
};
