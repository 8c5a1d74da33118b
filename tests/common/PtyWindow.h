#pragma once

#include "PtyPeer.h"
#include "TestWindow.h"

// A main window whose COM 1 is a pseudo-terminal played by the test as the adapter (or
// `device`, when one is given), with every modal window it opens answered.
struct PtyWindow
{
    explicit PtyWindow(const QByteArray &language = "en", const QString &device = {})
        : w(TestWindow::portsIni({device.isNull() ? peer.devicePath() : device}, language))
    {
    }
    // Connects, the far end answering the probe; true once the window shows the line open.
    bool connectAnswered()
    {
        peer.answerProbe();
        return w.connectNow();
    }

    PtyPeer peer;
    ModalAnswerer modals;
    TestWindow w;
};
