#pragma once

#include "InterfaceFinder.h"

#include <QObject>

class InterfaceLink;
class MainStatusBar;
class PortDirectory;
class QAction;
class QWidget;
struct UiTexts;

// The command Tools > Find L4686SDK: while the link is closed, looks for the interface on
// every entry of the port list whose device is present, COM 1 first, and reports the first
// that answers, for the window to select it as if the user had picked it. It does not
// connect. Status panel 1 says how the search goes; one box names the ports that could not
// be opened for want of permission. The command is enabled only while the link is closed
// and no search runs.
class InterfaceSearch : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QWidget *window;
        const InterfaceLink *link;
        PortDirectory *ports;
        MainStatusBar *statusBar;
        QAction *command;
    };

    explicit InterfaceSearch(const Parts &parts);

    void find();
    // Ends a running search at once, saying nothing: a connection attempt is about to start.
    void cancel();
    bool isRunning() const { return m_finder.isRunning(); }
    // The language of the messages from now on.
    void setTexts(const UiTexts &texts);

Q_SIGNALS:
    // The interface answered on entry COM `port`.
    void found(int port);

private:
    void onFinished(int port, const QList<InterfaceFinder::Refusal> &refused);
    void updateEnabled();

    Parts m_parts;
    InterfaceFinder m_finder;
    const UiTexts *m_texts;
};
