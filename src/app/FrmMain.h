#pragma once

#include "AppSettings.h"
#include "TranscriptModel.h"

#include <QMainWindow>

class Commands;
class ConnectionView;
class InterfaceLink;
class InterfaceSearch;
class LogCommand;
class MainMenus;
class MainStatusBar;
class MainToolbar;
class PortDirectory;
class PortList;
class TerminalView;

// The program's working window: the menus, the toolbar with the port list `Ccom`, the
// terminal text box `Trx` and the status bar `StBar`. It lays them out and wires them to
// the link, the transcript, the commands and the settings; it holds no logic of its own.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 525;
    static constexpr int kClientHeight = 504;

    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    // Every language-dependent text of the window, in the language of `languageCode`.
    void SetLanguage(const QString &languageCode);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void wire();
    void load();

    AppSettings m_settings;
    TranscriptModel m_transcript;
    InterfaceLink *m_link;
    MainMenus *m_menus;
    PortList *m_ccom;
    MainToolbar *m_toolbar;
    TerminalView *m_trx;
    MainStatusBar *m_stBar;
    ConnectionView *m_connectionView;
    PortDirectory *m_ports;
    InterfaceSearch *m_search;
    Commands *m_commands;
    LogCommand *m_logCommand = nullptr;
};
