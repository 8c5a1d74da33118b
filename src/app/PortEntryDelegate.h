#pragma once

#include <QStyledItemDelegate>

// Draws an entry of the open port list: its own text ("COM 3") and, beside it, what the
// entry opens (the item's kDetailRole), shortened in the middle when long, and in a lighter
// colour unless the device is present (kPresentRole).
class PortEntryDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kDetailRole = Qt::UserRole + 1;
    static constexpr int kPresentRole = Qt::UserRole + 2;
    // The widest the detail is drawn, in pixels; beyond it the text is elided.
    static constexpr int kMaxDetailWidth = 420;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
