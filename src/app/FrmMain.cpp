#include "FrmMain.h"

#include "Art.h"
#include "Commands.h"
#include "ConnectionView.h"
#include "Donate.h"
#include "InterfaceLink.h"
#include "InterfaceSearch.h"
#include "LogCommand.h"
#include "MainMenus.h"
#include "MainStatusBar.h"
#include "MainToolbar.h"
#include "PortDirectory.h"
#include "PortList.h"
#include "SessionLogFeed.h"
#include "TerminalView.h"
#include "UiTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

FrmMain::FrmMain(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint)
    , m_transcript(TranscriptModel::kDefaultLimit)
    , m_link(new InterfaceLink(TranscriptModel::kDefaultLimit, this))
    , m_menus(new MainMenus(menuBar()))
    , m_ccom(new PortList)
    , m_toolbar(new MainToolbar(m_ccom, this))
    , m_trx(new TerminalView(this))
    , m_stBar(new MainStatusBar(this))
    , m_connectionView(
          new ConnectionView(*m_link, {this, &m_transcript, m_stBar, m_toolbar, m_ccom}))
    , m_ports(new PortDirectory(m_settings, *m_link, this))
    , m_search(new InterfaceSearch({this, m_link, m_ports, m_stBar, m_menus->mFind}))
    , m_commands(
          new Commands({this, &m_settings, m_link, &m_transcript, m_toolbar, m_ports, m_search}))
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Telvo L4686SDK"));
    setWindowIcon(Art::icon(Art::AppIcon));
    m_link->setObjectName(QStringLiteral("link"));

    addToolBar(Qt::TopToolBarArea, m_toolbar);
    m_trx->setObjectName(QStringLiteral("Trx"));
    m_trx->setModel(&m_transcript);
    setCentralWidget(m_trx);
    setStatusBar(m_stBar);

    setTabOrder(m_stBar, m_toolbar);
    setTabOrder(m_toolbar, m_trx);
    setTabOrder(m_trx, m_ccom);
    m_trx->setFocus();
    m_logCommand =
        new LogCommand(this, m_menus->mLog,
                       new SessionLogFeed({m_link, m_commands, m_stBar, m_connectionView}, this));

    wire();
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    load();
}

FrmMain::~FrmMain()
{
    m_link->shutdown();
}

void FrmMain::wire()
{
    Commands *c = m_commands;
    connect(m_toolbar, &MainToolbar::buttonClicked, c, &Commands::Toolbar_ButtonClick);
    connect(m_menus->mConnect, &QAction::triggered, c,
            [c] { c->Toolbar_ButtonClick(MainToolbar::Connect); });
    connect(m_menus->mDisconnect, &QAction::triggered, c,
            [c] { c->Toolbar_ButtonClick(MainToolbar::Disconnect); });
    connect(m_menus->mSave, &QAction::triggered, c, &Commands::save);
    connect(m_menus->mExit, &QAction::triggered, this, &QWidget::close);
    connect(m_menus->mClear, &QAction::triggered, c, &Commands::clear);
    connect(m_menus->mIta, &QAction::triggered, c,
            [c] { c->chooseLanguage(LanguageCode::Italian); });
    connect(m_menus->mEng, &QAction::triggered, c,
            [c] { c->chooseLanguage(LanguageCode::English); });
    connect(m_menus->mHelp, &QAction::triggered, c, &Commands::showHelp);
    connect(m_menus->mDonate, &QAction::triggered, this, [] { Donate::openDonationPage(); });
    connect(m_ccom, &PortList::portChosen, c, &Commands::choosePort);
    connect(m_ccom, &PortList::aboutToOpen, m_ports, &PortDirectory::refresh);
    connect(m_ports, &PortDirectory::changed, this,
            [this] { m_ccom->setEntries(m_ports->entries()); });
    connect(m_menus->mFind, &QAction::triggered, m_search, &InterfaceSearch::find);
    connect(m_search, &InterfaceSearch::found, m_ccom, &PortList::pick);
    connect(m_trx, &TerminalView::keyTyped, c, &Commands::typeKey);
    connect(c, &Commands::languageChosen, this, &FrmMain::SetLanguage);
}

void FrmMain::load()
{
    m_ports->refresh();
    // A stored port that the list cannot show selects nothing, and stays stored as it is
    // until the user picks a port.
    const int stored = m_settings.port();
    m_ccom->showPort(stored);
    if (stored >= 0)
        m_commands->choosePort(stored);
    m_toolbar->showConnected(false);
    SetLanguage(m_settings.language());
}

void FrmMain::SetLanguage(const QString &languageCode)
{
    const UiTexts &texts = UiTexts::forLanguage(languageCode);
    m_connectionView->setTexts(texts);
    m_toolbar->setTexts(texts);
    m_menus->setTexts(texts);
    m_ccom->setTexts(texts);
    m_search->setTexts(texts);
    m_logCommand->setTexts(texts);
    m_stBar->setTexts(texts);
    m_trx->setAccessibleName(texts.accTerminal);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // The port closes with the window, also in the middle of a probe; nothing else is
    // undone and nothing is stored.
    m_link->shutdown();
    event->accept();
}
