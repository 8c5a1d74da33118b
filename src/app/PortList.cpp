#include "PortList.h"

#include "UiTexts.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr QSize kSize(81, 21);
const QString kInitialText = QStringLiteral("com1");
} // namespace

PortList::PortList(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("Ccom"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFixedSize(kSize);
    for (int port = 1; port <= kPortCount; ++port)
        addItem(QStringLiteral("COM ") + QString::number(port));
    setCurrentIndex(-1);
    setEditText(kInitialText);
    lineEdit()->installEventFilter(this);
    // The combo box would also choose the entry whose text was typed when the edit field
    // loses the focus; only an entry picked from the list chooses a port.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        showCurrentDevice();
        Q_EMIT portChosen(index + 1);
    });
}

void PortList::showPort(int port)
{
    const bool listed = port >= 1 && port <= kPortCount;
    setCurrentIndex(listed ? port - 1 : -1);
    if (!listed)
        setEditText(kInitialText);
    showCurrentDevice();
}

void PortList::setDevice(int port, const QString &device)
{
    setItemData(port - 1, device, Qt::ToolTipRole);
    showCurrentDevice();
}

void PortList::setTexts(const UiTexts &texts)
{
    // On Linux a combo box is known by its text; its edit field carries the name there.
    setAccessibleName(texts.accPortList);
    lineEdit()->setAccessibleName(texts.accPortList);
}

void PortList::showCurrentDevice()
{
    setToolTip(itemData(currentIndex(), Qt::ToolTipRole).toString());
}

bool PortList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QComboBox::eventFilter(watched, event);
}
