#pragma once

#include "../lang/UiTexts.h"
#include "../link/InterfaceLink.h"
#include "../terminal/TranscriptModel.h"
#include "AppSettings.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QToolBar;
class TerminalView;

// The program's working window: menus, the toolbar with the port list, the terminal text
// box and the two-panel status bar. It wires the link, the transcript and the settings to
// what the user sees and does.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kToolbarButtons = 9;
    static constexpr int kClientWidth = 525;
    static constexpr int kClientHeight = 504;

    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    // The toolbar click handler: every button, addressed by its 1-based index.
    void Toolbar_ButtonClick(int index);
    void ConnectInterface();
    void SetLanguage(const QString &languageCode);
    void SaveTranscript();

    // Controls and state, for the program's own parts and its tests.
    QAction *toolbarButton(int index) const { return m_buttons.value(index - 1); }
    QLabel *statusPanel(int index) const;
    QComboBox *Ccom() const { return m_ccom; }
    TerminalView *Trx() const { return m_trx; }
    QToolBar *Toolbar() const { return m_toolbar; }
    QStatusBar *StBar() const { return statusBar(); }
    QAction *menuItem(const QString &name) const;
    TranscriptModel &transcript() { return m_transcript; }
    InterfaceLink &link() { return m_link; }
    quint8 portNumber() const { return m_portNumber; }
    const UiTexts &texts() const { return *m_texts; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void load();

    void onCcomClick();
    void onTrxKey(QChar character);
    void chooseLanguage(const QString &languageCode);
    void clearTranscript();

    void onConnected();
    void onConnectFailed(InterfaceLink::FailReason reason, const CommError &failure);
    void onDisconnected();
    void onFrameReceived(const QString &line);
    void onLineFailed(const QString &line);
    void onSendFailed();
    void showConnectionTime();
    void showConnectedPair(bool connected);
    void showClosed();

    AppSettings m_settings;
    TranscriptModel m_transcript;
    InterfaceLink m_link;
    const UiTexts *m_texts;
    quint8 m_portNumber = 0;

    QMenu *m_mFile = nullptr;
    QMenu *m_mTools = nullptr;
    QMenu *m_mLanguage = nullptr;
    QMenu *m_mHlp = nullptr;
    QAction *m_mSave = nullptr;
    QAction *m_mExit = nullptr;
    QAction *m_mConnect = nullptr;
    QAction *m_mDisconnect = nullptr;
    QAction *m_m1 = nullptr;
    QAction *m_mClear = nullptr;
    QAction *m_mIta = nullptr;
    QAction *m_mEng = nullptr;
    QAction *m_mHelp = nullptr;
    QAction *m_mDonate = nullptr;

    QToolBar *m_toolbar = nullptr;
    QList<QAction *> m_buttons;
    QComboBox *m_ccom = nullptr;
    TerminalView *m_trx = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
};
