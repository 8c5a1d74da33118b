#include "MainToolbar.h"

#include "Art.h"
#include "PortList.h"
#include "UiTexts.h"

#include <QLabel>
#include <QLayout>

namespace {
// Pixels at 96 dpi; Qt scales them with the screen.
constexpr int kHeight = 40;
constexpr QSize kIconSize(32, 32);
constexpr QSize kButtonSize(38, 39);
constexpr int kPortListRightMargin = 9;

struct Picture
{
    MainToolbar::Button index;
    Art::Picture art;
    const char *name;
};
constexpr Picture kPictures[] = {
    {MainToolbar::Connect, Art::Connect, "Connect"},
    {MainToolbar::Disconnect, Art::Disconnect, "Disconnect"},
    {MainToolbar::Save, Art::Save, "Save"},
    {MainToolbar::Clear, Art::Clear, "Clear"},
    {MainToolbar::Italian, Art::FlagItaly, "Italian"},
    {MainToolbar::English, Art::FlagUk, "English"},
};

const Picture *pictureAt(int index)
{
    for (const Picture &p : kPictures) {
        if (p.index == index)
            return &p;
    }
    return nullptr;
}
} // namespace

MainToolbar::MainToolbar(PortList *portList, QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The window's own menu of toolbars (a right click on the menu bar) would list this
    // one; hidden, it leaves that menu empty, and an empty menu is not shown.
    toggleViewAction()->setEnabled(false);
    toggleViewAction()->setVisible(false);
    setIconSize(kIconSize);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFixedHeight(kHeight);
    setContentsMargins(0, 0, 0, 0);
    layout()->setContentsMargins(0, 0, 0, 0);
    layout()->setSpacing(0);

    for (int index = 1; index <= kButtons; ++index) {
        const Picture *picture = pictureAt(index);
        QAction *button = picture ? addAction(Art::icon(picture->art), QString()) : addSeparator();
        button->setObjectName(
            QStringLiteral("Button%1%2")
                .arg(index)
                .arg(picture ? QLatin1String(picture->name) : QLatin1String("Separator")));
        if (picture) {
            widgetForAction(button)->setFixedSize(kButtonSize);
            connect(button, &QAction::triggered, this,
                    [this, index] { Q_EMIT buttonClicked(index); });
        }
        m_buttons.append(button);
    }
    button(Connect)->setCheckable(true);
    button(Disconnect)->setCheckable(true);

    auto *spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spacer);
    addWidget(portList);
    // On Linux a screen reader knows a combo box by its text and by the label that names
    // it; this label is not shown, the list has no room for one.
    m_portListLabel = new QLabel(this);
    m_portListLabel->setObjectName(QStringLiteral("CcomLabel"));
    m_portListLabel->setBuddy(portList);
    m_portListLabel->hide();
    auto *margin = new QWidget(this);
    margin->setFixedWidth(kPortListRightMargin);
    addWidget(margin);
}

void MainToolbar::showConnected(bool connected)
{
    button(Connect)->setChecked(connected);
    button(Disconnect)->setChecked(!connected);
}

void MainToolbar::setTexts(const UiTexts &texts)
{
    button(Connect)->setToolTip(texts.tipConnect);
    button(Disconnect)->setToolTip(texts.tipDisconnect);
    button(Save)->setToolTip(texts.tipSave);
    button(Clear)->setToolTip(texts.tipClear);
    button(Italian)->setToolTip(texts.tipItalian);
    button(English)->setToolTip(texts.tipEnglish);
    m_portListLabel->setText(texts.accPortList);
    // Screen readers name each button by its tooltip.
    for (const Picture &p : kPictures)
        widgetForAction(button(p.index))->setAccessibleName(button(p.index)->toolTip());
}
