#include "FrmHelp.h"

#include "Art.h"
#include "Donate.h"
#include "HelpText.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>

namespace {
QPointer<FrmHelp> g_helpWindow;

// Events after which a widget may sit on a screen of another pixel density.
bool isDensityChange(QEvent::Type type)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (type == QEvent::DevicePixelRatioChange)
        return true;
#endif
    return type == QEvent::ScreenChangeInternal;
}

// Geometry in pixels at 96 dpi.
constexpr QSize kClientSize(662, 466);
constexpr QRect kThelpRect(0, 0, 661, 416);
constexpr QRect kIpaypalRect(615, 415, 48, 48);
constexpr QRect kLlinkRect(540, 447, 111, 16);
// The link's caption runs across the lower part of the picture's box, so the picture is
// drawn in the part above it.
constexpr QSize kDonatePictureSize(32, 32);
} // namespace

FrmHelp *FrmHelp::showHelp(const QString &languageCode)
{
    if (!g_helpWindow) {
        g_helpWindow = new FrmHelp(languageCode);
        // It has no owner: it opens in the middle of the screen the user is working on.
        const QWidget *active = QApplication::activeWindow();
        if (const QScreen *screen = active ? active->screen() : QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), g_helpWindow->size());
            frame.moveCenter(screen->availableGeometry().center());
            g_helpWindow->move(frame.topLeft());
        }
    }
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
    return g_helpWindow;
}

FrmHelp *FrmHelp::instance()
{
    return g_helpWindow;
}

FrmHelp::FrmHelp(const QString &languageCode, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window would not keep the program alive on its own; this one must, because it
    // outlives the main window.
    setAttribute(Qt::WA_QuitOnClose, true);
    setWindowTitle(QStringLiteral("Help"));
    setFixedSize(kClientSize);

    m_thelp = new QPlainTextEdit(this);
    m_thelp->setObjectName(QStringLiteral("Thelp"));
    m_thelp->setGeometry(kThelpRect);
    m_thelp->setReadOnly(true);
    m_thelp->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_thelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_thelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_thelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_thelp->setTabChangesFocus(true);
    QFont font = m_thelp->font();
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    m_thelp->setFont(font);

    m_ipaypal = new QLabel(this);
    m_ipaypal->setObjectName(QStringLiteral("Ipaypal"));
    m_ipaypal->setGeometry(kIpaypalRect);
    m_ipaypal->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    showDonatePicture();
    m_ipaypal->setCursor(Qt::PointingHandCursor);
    m_ipaypal->installEventFilter(this);

    m_llink = new QLabel(this);
    m_llink->setObjectName(QStringLiteral("Llink"));
    m_llink->setGeometry(kLlinkRect);
    m_llink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_llink->setStyleSheet(
        QStringLiteral("QLabel { color: rgb(0, 0, 255); background: transparent; }"
                       "QLabel:focus { text-decoration: underline; }"));
    m_llink->setCursor(Qt::PointingHandCursor);
    m_llink->setFocusPolicy(Qt::StrongFocus);
    m_llink->installEventFilter(this);

    setTabOrder(m_thelp, m_llink);
    load(languageCode);
}

FrmHelp::~FrmHelp() = default;

void FrmHelp::load(const QString &language)
{
    // The text box would turn a lone CR into a paragraph break too; show CR LF as one.
    m_thelp->setPlainText(
        HelpText::text(language).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_llink->setText(HelpText::donateCaption(language));
    m_thelp->setAccessibleName(HelpText::textBoxName(language));
    m_ipaypal->setAccessibleName(HelpText::donateCaption(language));
}

void FrmHelp::showDonatePicture()
{
    // Drawn for the screen the window is on, one picture pixel per device pixel.
    m_ipaypal->setPixmap(
        Art::icon(Art::Donate).pixmap(kDonatePictureSize, m_ipaypal->devicePixelRatioF()));
}

bool FrmHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ipaypal && isDensityChange(event->type()))
        showDonatePicture();
    if ((watched == m_llink || watched == m_ipaypal) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Donate::openDonationPage();
        return true;
    }
    if (watched == m_llink && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Donate::openDonationPage();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
