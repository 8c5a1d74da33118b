#include "PortList.h"

#include "PortEntryDelegate.h"
#include "UiTexts.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace {
constexpr QSize kSize(81, 21);
const QString kInitialText = QStringLiteral("com1");

QString shortened(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    return text.left(length / 2) + QChar(0x2026) + text.right(length / 2);
}
} // namespace

PortList::PortList(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("Ccom"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFixedSize(kSize);
    // A wheel turned over the list must not take the focus, and with it the port.
    setFocusPolicy(Qt::StrongFocus);
    setItemDelegate(new PortEntryDelegate(this));
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

void PortList::pick(int port)
{
    showPort(port);
    Q_EMIT portChosen(port);
}

void PortList::setEntries(const std::array<PortNames::Entry, kPortCount> &entries)
{
    m_entries = entries;
    showEntries();
}

void PortList::setTexts(const UiTexts &texts)
{
    // On Linux a combo box is known by its text; its edit field carries the name there.
    setAccessibleName(texts.accPortList);
    lineEdit()->setAccessibleName(texts.accPortList);
    m_absent = texts.portAbsent;
    showEntries();
}

void PortList::showEntries()
{
    const QString separator = QStringLiteral(" \u00b7 ");
    for (int i = 0; i < kPortCount; ++i) {
        const PortNames::Entry &entry = m_entries[i];
        QString detail = entry.shown;
        if (!entry.present)
            detail += separator + m_absent;
        else if (!entry.description.isEmpty())
            detail += separator + entry.description;
        setItemData(i, shortened(entry.shown, kMaxTipLength), Qt::ToolTipRole);
        setItemData(i, detail, PortEntryDelegate::kDetailRole);
        setItemData(i, entry.present, PortEntryDelegate::kPresentRole);
        setItemData(i, detail, Qt::AccessibleDescriptionRole);
    }
    showCurrentDevice();
}

void PortList::showPopup()
{
    Q_EMIT aboutToOpen();
    // As wide as the widest entry with its device, not as narrow as the closed list.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    QComboBox::showPopup();
}

void PortList::showCurrentDevice()
{
    setToolTip(itemData(currentIndex(), Qt::ToolTipRole).toString());
}

void PortList::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
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
