#pragma once

#include "TestSettings.h"

#include <QByteArray>
#include <QString>

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
    // Starts the window with `ini` as its settings file.
    explicit TestWindow(const QByteArray &ini = QByteArray(), bool show = true);
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

    TestSettings settings;

private:
    std::unique_ptr<FrmMain> m_window;
};
