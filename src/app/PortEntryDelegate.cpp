#include "PortEntryDelegate.h"

#include <QApplication>
#include <QPainter>

namespace {
// Room for the widest entry text, so that the details line up.
int nameWidth(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("COM 9   "));
}

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}
} // namespace

void PortEntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString name = opt.text;
    opt.text.clear();
    QStyle *style = styleOf(opt);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
    text.setLeft(text.left() + nameWidth(opt.fontMetrics));
    if (!selected && !index.data(kPresentRole).toBool())
        painter->setPen(opt.palette.color(group, QPalette::PlaceholderText));
    const QString detail = index.data(kDetailRole).toString();
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      opt.fontMetrics.elidedText(detail, Qt::ElideMiddle, text.width()));
    painter->restore();
}

QSize PortEntryDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int detail = option.fontMetrics.horizontalAdvance(index.data(kDetailRole).toString()) + 1;
    size.rwidth() += nameWidth(option.fontMetrics) -
                     option.fontMetrics.horizontalAdvance(index.data().toString()) +
                     qMin(detail, kMaxDetailWidth);
    return size;
}
