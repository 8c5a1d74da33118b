#pragma once

#include <QObject>

class AppSettings;
class InterfaceLink;
class InterfaceSearch;
class MainToolbar;
class PortDirectory;
class TranscriptModel;
class QWidget;

// What the main window's commands do: the toolbar dispatch, the menu entries, the port
// list's choice and the keys typed into the terminal.
class Commands : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QWidget *window;
        AppSettings *settings;
        InterfaceLink *link;
        TranscriptModel *transcript;
        MainToolbar *toolbar;
        PortDirectory *ports;
        InterfaceSearch *search;
    };

    explicit Commands(const Parts &parts);

    // The toolbar click handler: every button by its 1-based index. Ends by showing the
    // Connect/Disconnect pair as the link stands.
    void Toolbar_ButtonClick(int index);
    // The port list's selection handler: `port` 1 to 9, or 0 for none, is stored and used
    // by the next connection attempt.
    void choosePort(int port);
    // A character typed into the terminal: frame keys are echoed and sent while the
    // interface has answered; every other key does nothing.
    void typeKey(QChar character);
    // Applies the language (through languageChosen) and stores it.
    void chooseLanguage(const QString &languageCode);
    void clear();
    void save();
    void showHelp();

    quint8 portNumber() const { return m_portNumber; }

Q_SIGNALS:
    void languageChosen(const QString &languageCode);
    // Connect is about to open `device` for port `port` (0 for none).
    void connecting(int port, const QString &device);
    // A frame key went out on the line.
    void keySent(QChar character);

private:
    Parts m_parts;
    quint8 m_portNumber = 0;
};
