#include "MainStatusBar.h"

#include "UiTexts.h"

#include <QFontMetrics>
#include <QLabel>

namespace {
// Pixels at 96 dpi; Qt scales them with the screen.
constexpr int kHeight = 21;
constexpr int kPanel1Width = 362;
constexpr int kPanel2Width = 160;

QLabel *addPanel(QStatusBar *bar, const char *name, int width)
{
    auto *panel = new QLabel(bar);
    panel->setObjectName(QLatin1String(name));
    panel->setFixedWidth(width);
    bar->addWidget(panel);
    return panel;
}
} // namespace

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_panel1(addPanel(this, "Panel1", kPanel1Width))
    , m_panel2(addPanel(this, "Panel2", kPanel2Width))
{
    setObjectName(QStringLiteral("StBar"));
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    setContentsMargins(0, 0, 0, 0);

    // Where the platform's font is wider than the one the widths were made for, a smaller
    // size keeps the longest time text whole.
    QFont smaller = font();
    const QString widest =
        UiTexts::italianTexts().msgConnectionTime + QStringLiteral(": 000.00.00");
    while (smaller.pointSizeF() > 6 &&
           QFontMetrics(smaller).horizontalAdvance(widest) > kPanel2Width - 4)
        smaller.setPointSizeF(smaller.pointSizeF() - 0.5);
    m_panel1->setFont(smaller);
    m_panel2->setFont(smaller);
}

void MainStatusBar::showState(const QString &text)
{
    m_panel1->setText(text);
    Q_EMIT stateShown(text);
}

void MainStatusBar::showTime(const QString &text)
{
    m_panel2->setText(text);
}

void MainStatusBar::setTexts(const UiTexts &texts)
{
    // A panel's live text is what a screen reader reads as its name; the description says
    // what the panel is.
    m_panel1->setAccessibleDescription(texts.accStatePanel);
    m_panel2->setAccessibleDescription(texts.accTimePanel);
}
