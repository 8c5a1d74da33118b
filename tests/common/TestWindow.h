#pragma once

#include "TestSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class FrmMain;
class InterfaceLink;
class QAction;
class QComboBox;
class QLabel;
class TerminalView;

// A main window with settings of its own, driven as its user drives it: through its menu
// entries, toolbar buttons and controls, found by the names the window gives them.
class TestWindow
{
public:
    // Settings in which COM n is devices[n - 1] (an empty or missing one: a path where
    // nothing is, so that no device of this computer is met) and COM `com` is chosen.
    static QByteArray portsIni(const QStringList &devices, const QByteArray &language = "en",
                               int com = 1);

    // Starts and shows the window with `ini` as its settings file.
    explicit TestWindow(const QByteArray &ini = QByteArray());
    ~TestWindow();

    FrmMain &window() const { return *m_window; }
    // A menu entry ("mSave") or a toolbar button ("1" to "9").
    QAction *action(const QString &name) const;
    void trigger(const QString &name) const;
    QString panel(int index) const;
    QComboBox *ccom() const;
    TerminalView *trx() const;
    // The transcript's exact text.
    QString transcript() const;
    // The link, to listen to what it reports.
    InterfaceLink *link() const;
    // Whether the window shows the connection closed: Disconnect pressed, Connect released,
    // the port list enabled.
    bool showsClosed() const;
    // Turns the mouse wheel a notch down over the port list, as the window system does.
    void turnWheel() const;
    // Presses Connect; true once the window shows the line open (the port list disabled).
    bool connectNow() const;

    TestSettings settings;

private:
    std::unique_ptr<FrmMain> m_window;
};

// While it lives, answers each modal window as soon as it opens, and notes it in `met`: a
// message box as "title|icon|text", closed; a file dialog as "title|filters|name shown",
// given `fileName` and accepted, or closed when that is empty; any other by its title.
class ModalAnswerer
{
public:
    ModalAnswerer();
    QStringList met;
    QString fileName;

private:
    QTimer m_poll;
};
