#include "FrmMain.h"

#include "../lang/Donate.h"
#include "../lang/FrmHelp.h"
#include "../link/PortNames.h"
#include "../terminal/Comdlg.h"
#include "../terminal/FrameKeys.h"
#include "../terminal/TerminalView.h"
#include "../terminal/TranscriptFile.h"
#include "Art.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

namespace {
// Geometry in pixels at 96 dpi; Qt scales it with the screen.
constexpr int kToolbarHeight = 40;
constexpr int kStatusBarHeight = 21;
constexpr QSize kToolbarIconSize(32, 32);
constexpr QSize kButtonSize(38, 39);
constexpr QSize kCcomSize(81, 21);
constexpr int kCcomRightMargin = 9;
constexpr int kPanel1Width = 362;
constexpr int kPanel2Width = 160;
constexpr int kPortCount = 9;

const QString kCcomInitialText = QStringLiteral("com1");
const QString kSaveTitle = QStringLiteral("Save File ");
const QString kSaveFilter = QStringLiteral("Txt file") + QChar(0) + QStringLiteral("*.txt");

enum Button { Connect = 1, Disconnect = 2, Save = 4, Clear = 6, Italian = 8, English = 9 };
} // namespace

FrmMain::FrmMain(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint)
    , m_transcript(TranscriptModel::kDefaultLimit)
    , m_link(TranscriptModel::kDefaultLimit)
    , m_texts(&UiTexts::forLanguage(AppSettings::kDefaultLanguage))
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Telvo L4686SDK"));
    setWindowIcon(Art::icon(Art::AppIcon));

    buildMenus();
    buildToolbar();

    m_trx = new TerminalView(this);
    m_trx->setObjectName(QStringLiteral("Trx"));
    m_trx->setModel(&m_transcript);
    connect(m_trx, &TerminalView::keyTyped, this, &FrmMain::onTrxKey);
    setCentralWidget(m_trx);

    buildStatusBar();

    setTabOrder(statusBar(), m_toolbar);
    setTabOrder(m_toolbar, m_trx);
    setTabOrder(m_trx, m_ccom);
    m_trx->setFocus();

    connect(&m_link, &InterfaceLink::connected, this, &FrmMain::onConnected);
    connect(&m_link, &InterfaceLink::connectFailed, this, &FrmMain::onConnectFailed);
    connect(&m_link, &InterfaceLink::disconnected, this, &FrmMain::onDisconnected);
    connect(&m_link, &InterfaceLink::frameReceived, this, &FrmMain::onFrameReceived);
    connect(&m_link, &InterfaceLink::lineFailed, this, &FrmMain::onLineFailed);
    connect(&m_link, &InterfaceLink::sendFailed, this, &FrmMain::onSendFailed);
    connect(&m_link, &InterfaceLink::clockTicked, this, &FrmMain::showConnectionTime);

    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    load();
}

FrmMain::~FrmMain()
{
    m_link.shutdown();
}

void FrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto named = [](QAction *action, const char *name) {
        action->setObjectName(QLatin1String(name));
        return action;
    };

    m_mFile = bar->addMenu(QStringLiteral("File"));
    named(m_mFile->menuAction(), "mFile");
    m_mSave = named(m_mFile->addAction(QStringLiteral("Save")), "mSave");
    m_mExit = named(m_mFile->addAction(QStringLiteral("Exit")), "mExit");

    m_mTools = bar->addMenu(QStringLiteral("Tools"));
    named(m_mTools->menuAction(), "mTools");
    m_mConnect = named(m_mTools->addAction(QStringLiteral("Connect")), "mConnect");
    m_mDisconnect = named(m_mTools->addAction(QStringLiteral("Disconnect")), "mDisconnect");
    m_m1 = named(m_mTools->addSeparator(), "m1");
    m_mClear = named(m_mTools->addAction(QStringLiteral("Clear")), "mClear");

    m_mLanguage = bar->addMenu(QStringLiteral("Language"));
    named(m_mLanguage->menuAction(), "mLanguage");
    m_mIta = named(m_mLanguage->addAction(QStringLiteral("Italian")), "mIta");
    m_mEng = named(m_mLanguage->addAction(QStringLiteral("English")), "mEng");
    m_mIta->setCheckable(true);
    m_mEng->setCheckable(true);

    m_mHlp = bar->addMenu(QStringLiteral("?"));
    named(m_mHlp->menuAction(), "mHlp");
    m_mHelp = named(m_mHlp->addAction(QStringLiteral("Help")), "mHelp");
    m_mDonate = named(m_mHlp->addAction(QStringLiteral("Donate")), "mDonate");

    connect(m_mSave, &QAction::triggered, this, &FrmMain::SaveTranscript);
    connect(m_mExit, &QAction::triggered, this, &QWidget::close);
    connect(m_mConnect, &QAction::triggered, this, [this] { Toolbar_ButtonClick(Connect); });
    connect(m_mDisconnect, &QAction::triggered, this, [this] { Toolbar_ButtonClick(Disconnect); });
    connect(m_mClear, &QAction::triggered, this, &FrmMain::clearTranscript);
    connect(m_mIta, &QAction::triggered, this, [this] { chooseLanguage(LanguageCode::Italian); });
    connect(m_mEng, &QAction::triggered, this, [this] { chooseLanguage(LanguageCode::English); });
    connect(m_mHelp, &QAction::triggered, this, [] { FrmHelp::showHelp(); });
    connect(m_mDonate, &QAction::triggered, this, [] { Donate::openDonationPage(); });
}

void FrmMain::buildToolbar()
{
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolbar->toggleViewAction()->setEnabled(false);
    m_toolbar->setIconSize(kToolbarIconSize);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setFixedHeight(kToolbarHeight);
    m_toolbar->setContentsMargins(0, 0, 0, 0);
    m_toolbar->layout()->setContentsMargins(0, 0, 0, 0);
    m_toolbar->layout()->setSpacing(0);
    addToolBar(Qt::TopToolBarArea, m_toolbar);

    const struct
    {
        int index;
        Art::Picture picture;
        const char *name;
    } pictures[] = {
        {Connect, Art::Connect, "Connect"},
        {Disconnect, Art::Disconnect, "Disconnect"},
        {Save, Art::Save, "Save"},
        {Clear, Art::Clear, "Clear"},
        {Italian, Art::FlagItaly, "Italian"},
        {English, Art::FlagUk, "English"},
    };
    for (int index = 1; index <= kToolbarButtons; ++index) {
        QAction *button = nullptr;
        for (const auto &p : pictures) {
            if (p.index == index) {
                button = m_toolbar->addAction(Art::icon(p.picture), QString());
                button->setObjectName(
                    QStringLiteral("Button%1%2").arg(index).arg(QLatin1String(p.name)));
                if (QWidget *w = m_toolbar->widgetForAction(button))
                    w->setFixedSize(kButtonSize);
                connect(button, &QAction::triggered, this,
                        [this, index] { Toolbar_ButtonClick(index); });
            }
        }
        if (!button) {
            button = m_toolbar->addSeparator();
            button->setObjectName(QStringLiteral("Button%1Separator").arg(index));
        }
        m_buttons.append(button);
    }
    toolbarButton(Connect)->setCheckable(true);
    toolbarButton(Disconnect)->setCheckable(true);

    auto *spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);

    m_ccom = new QComboBox(m_toolbar);
    m_ccom->setObjectName(QStringLiteral("Ccom"));
    m_ccom->setEditable(true);
    m_ccom->setInsertPolicy(QComboBox::NoInsert);
    m_ccom->setCompleter(nullptr);
    m_ccom->setFixedSize(kCcomSize);
    m_ccom->setEditText(kCcomInitialText);
    m_ccom->lineEdit()->installEventFilter(this);
    // The combo box would also choose the entry whose text was typed when the edit field
    // loses the focus; only an entry picked from the list chooses a port.
    disconnect(m_ccom->lineEdit(), &QLineEdit::editingFinished, m_ccom, nullptr);
    connect(m_ccom, qOverload<int>(&QComboBox::activated), this, &FrmMain::onCcomClick);
    m_toolbar->addWidget(m_ccom);

    auto *margin = new QWidget(m_toolbar);
    margin->setFixedWidth(kCcomRightMargin);
    m_toolbar->addWidget(margin);
}

void FrmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StBar"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusBarHeight);
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedWidth(kPanel1Width);
    m_panel2 = new QLabel(bar);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFixedWidth(kPanel2Width);
    bar->addWidget(m_panel1);
    bar->addWidget(m_panel2);
    bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    bar->setContentsMargins(0, 0, 0, 0);

    // The panels keep their widths; where the platform's font is wider than the one the
    // widths were made for, a smaller size keeps the longest time text whole.
    QFont font = bar->font();
    const QString widest =
        UiTexts::italianTexts().msgConnectionTime + QStringLiteral(": 000.00.00");
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(widest) > kPanel2Width - 4)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    m_panel1->setFont(font);
    m_panel2->setFont(font);
}

QLabel *FrmMain::statusPanel(int index) const
{
    return index == 1 ? m_panel1 : index == 2 ? m_panel2 : nullptr;
}

QAction *FrmMain::menuItem(const QString &name) const
{
    return findChild<QAction *>(name);
}

void FrmMain::load()
{
    for (int port = 1; port <= kPortCount; ++port) {
        m_ccom->addItem(QStringLiteral("COM ") + QString::number(port));
        const QString device = PortNames::deviceFor(port, m_settings.portDevice(port));
        m_ccom->setItemData(port - 1, device, Qt::ToolTipRole);
    }

    // A stored port that the list cannot show selects nothing, and stays stored as it is
    // until the user picks a port.
    const int stored = PortNames::parsePortSetting(m_settings.comText());
    m_ccom->setCurrentIndex(stored >= 1 ? stored - 1 : -1);
    if (stored >= 0)
        onCcomClick();
    else
        m_portNumber = 0;
    if (m_ccom->currentIndex() < 0)
        m_ccom->setEditText(kCcomInitialText);

    showConnectedPair(false);
    SetLanguage(m_settings.language());
}

void FrmMain::onCcomClick()
{
    const int port = m_ccom->currentIndex() + 1;
    m_settings.setCom(port);
    m_portNumber = quint8(port);
    m_ccom->setToolTip(m_ccom->itemData(m_ccom->currentIndex(), Qt::ToolTipRole).toString());
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Typing into the port list's edit field never chooses a port, Enter included.
    if (watched == m_ccom->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::Toolbar_ButtonClick(int index)
{
    switch (index) {
    case Connect:
        if (!m_link.isPortOpen())
            ConnectInterface();
        break;
    case Disconnect:
        if (m_link.isPortOpen())
            m_link.Disconnect();
        break;
    case Save:
        SaveTranscript();
        break;
    case Clear:
        clearTranscript();
        break;
    case Italian:
        chooseLanguage(LanguageCode::Italian);
        break;
    case English:
        chooseLanguage(LanguageCode::English);
        break;
    default:
        break;
    }
    showConnectedPair(m_link.interfaceAnswered());
}

void FrmMain::ConnectInterface()
{
    m_link.setPort(m_portNumber,
                   PortNames::deviceFor(m_portNumber, m_settings.portDevice(m_portNumber)));
    m_link.ConnectInterface();
}

void FrmMain::onConnected()
{
    m_panel1->setText(m_texts->msgConnectionEstablished);
    m_ccom->setEnabled(false);
    showConnectedPair(true);
}

void FrmMain::onConnectFailed(InterfaceLink::FailReason reason, const CommError &failure)
{
    const QString &why = reason == InterfaceLink::FailReason::ErrorOpenCom
                             ? m_texts->msgErrorOpenCom
                             : m_texts->msgInterfaceNotFound;
    m_panel1->setText(m_texts->msgConnectionClosed + QStringLiteral(" (") + why + QLatin1Char(')'));
    m_ccom->setEnabled(true);
    showConnectedPair(false);
    if (failure.failed()) {
        QMessageBox::critical(this, AppSettings::applicationName(),
                              QString::number(failure.number) + QStringLiteral(" - ") +
                                  failure.description);
    }
}

void FrmMain::onDisconnected()
{
    showClosed();
}

void FrmMain::onFrameReceived(const QString &line)
{
    m_transcript.append(line);
}

void FrmMain::onLineFailed(const QString &line)
{
    m_transcript.append(line);
    showClosed();
}

void FrmMain::onSendFailed()
{
    showClosed();
}

void FrmMain::showClosed()
{
    showConnectedPair(false);
    m_ccom->setEnabled(true);
    m_panel1->setText(m_texts->msgConnectionClosed);
}

void FrmMain::showConnectedPair(bool connected)
{
    toolbarButton(Connect)->setChecked(connected);
    toolbarButton(Disconnect)->setChecked(!connected);
}

void FrmMain::showConnectionTime()
{
    m_panel2->setText(m_link.clock().text(m_texts->msgConnectionTime));
}

void FrmMain::onTrxKey(QChar character)
{
    if (!FrameKeys::accepts(character) || !m_link.interfaceAnswered())
        return;
    // The echo always goes to the very end, wherever the caret or the selection is.
    m_transcript.append(QString(character));
    m_link.sendTyped(character);
}

void FrmMain::clearTranscript()
{
    m_transcript.clear();
}

void FrmMain::chooseLanguage(const QString &languageCode)
{
    SetLanguage(languageCode);
    m_settings.setLanguage(languageCode);
}

void FrmMain::SetLanguage(const QString &languageCode)
{
    m_texts = &UiTexts::forLanguage(languageCode);
    const UiTexts &t = *m_texts;

    toolbarButton(Connect)->setToolTip(t.tipConnect);
    toolbarButton(Disconnect)->setToolTip(t.tipDisconnect);
    toolbarButton(Save)->setToolTip(t.tipSave);
    toolbarButton(Clear)->setToolTip(t.tipClear);
    toolbarButton(Italian)->setToolTip(t.tipItalian);
    toolbarButton(English)->setToolTip(t.tipEnglish);

    // Screen readers name each button by its tooltip. A fixed name would hide a panel's
    // text from them, so the panels tell what they are as their description instead.
    for (QAction *button : std::as_const(m_buttons)) {
        if (QWidget *w = m_toolbar->widgetForAction(button))
            w->setAccessibleName(button->toolTip());
    }
    // On Linux a combo box is known by its text; its edit field carries the name there.
    m_ccom->setAccessibleName(t.accPortList);
    m_ccom->lineEdit()->setAccessibleName(t.accPortList);
    m_trx->setAccessibleName(t.accTerminal);
    m_panel1->setAccessibleDescription(t.accStatePanel);
    m_panel2->setAccessibleDescription(t.accTimePanel);

    showConnectionTime();

    m_mIta->setChecked(t.italian);
    m_mEng->setChecked(!t.italian);

    m_mSave->setText(t.mSave);
    m_mExit->setText(t.mExit);
    m_mTools->setTitle(t.mTools);
    m_mConnect->setText(t.mConnect);
    m_mDisconnect->setText(t.mDisconnect);
    m_mClear->setText(t.mClear);
    m_mLanguage->setTitle(t.mLanguage);
    m_mIta->setText(t.mIta);
    m_mEng->setText(t.mEng);
    m_mDonate->setText(t.mDonate);
    m_mHelp->setText(t.mHelp);
}

void FrmMain::SaveTranscript()
{
    const QString path = Comdlg::ShowFileDialog(this, 0, kSaveTitle, QString(), kSaveFilter,
                                                TranscriptFile::defaultFolder(), QString());
    if (path.isEmpty())
        return;
    QString error;
    if (!TranscriptFile::write(path, m_transcript.text(), &error))
        QMessageBox::critical(this, AppSettings::applicationName(), error);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // The port closes with the window, also in the middle of a probe; nothing else is
    // undone and nothing is stored.
    m_link.shutdown();
    event->accept();
}
