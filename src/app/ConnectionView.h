#pragma once

#include "InterfaceLink.h"

#include <QObject>

class MainStatusBar;
class MainToolbar;
class PortList;
class TranscriptModel;
class QWidget;
struct UiTexts;

// Shows what the link reports: frames and failure lines in the transcript, the state in
// status panel 1, the time in panel 2, the Connect/Disconnect pair, whether the port list
// may change, and a box for a connection attempt that failed on the port.
class ConnectionView : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QWidget *window;
        TranscriptModel *transcript;
        MainStatusBar *statusBar;
        MainToolbar *toolbar;
        PortList *portList;
    };

    ConnectionView(const InterfaceLink &link, const Parts &parts);

    // The language of every message from now on; panel 2 is rewritten at once.
    void setTexts(const UiTexts &texts);

Q_SIGNALS:
    // The transcript has just got the failure line of a lost line, before the closed state
    // shows.
    void lineFailureShown(const CommError &failure);

private:
    void onConnected();
    void onConnectFailed(InterfaceLink::FailReason reason, const CommError &failure);
    void onLineFailed(const CommError &failure);
    void showClosed();
    void showConnectionTime();

    const InterfaceLink &m_link;
    Parts m_parts;
    const UiTexts *m_texts;
};
