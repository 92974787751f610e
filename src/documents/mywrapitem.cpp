#include "mywrapitem.h"

#include "app/appstate.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QListView>
#include <QPainter>
#include <QTextLayout>

namespace {
// Blank space kept around the text inside its row, as a text document leaves it.
constexpr int textMargin = 4;
constexpr int tableStep = 100;
}

MyWrapItem::MyWrapItem(int side, QListView *view, QListView *partner)
    : QItemDelegate(view)
    , side(side)
    , lineHeight(int(QFontMetricsF(view->font()).height()) + 10)
    , view(view)
    , partnerView(partner)
{ }

MyWrapItem::~MyWrapItem() = default;

int MyWrapItem::lineCount(const QString &text, const QFontMetricsF &metrics, int width)
{
    return LineCountCache::count(text, width, metrics.horizontalAdvance(QLatin1Char(' ')),
        [&metrics](const QString &word) { return metrics.horizontalAdvance(word); });
}

int MyWrapItem::sourceLines(int row, const QString &text) const
{
    if (!view->isVisible())
        return 1;
    return cache.lines(row, text, view->font(), textWidth());
}

int MyWrapItem::measuredRows() const
{
    if (side != 1) {
        auto *partner = partnerView ? qobject_cast<MyWrapItem *>(partnerView->itemDelegate()) : nullptr;
        return partner ? partner->measuredRows() : 0;
    }
    return cache.rowsKnown(view->font(), textWidth());
}

// Rows are measured at the width their text is drawn at.
int MyWrapItem::textWidth() const { return view->viewport()->width() - 2 * textMargin; }

QSize MyWrapItem::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // A hidden view is measured again when it is shown.
    const int width = view->viewport()->width();
    if (width <= 0 || !view->isVisible())
        return QItemDelegate::sizeHint(option, index);

    int lines = 1;
    const int row = index.row();
    if (side == 1) {
        lines = sourceLines(row, index.data(Qt::DisplayRole).toString());
        storeRowLines(row, lines);
    } else if (partnerView) {
        auto *partner = qobject_cast<MyWrapItem *>(partnerView->itemDelegate());
        const QAbstractItemModel *sources = partnerView->model();
        if (partner && sources && row < sources->rowCount())
            lines = partner->sourceLines(row, sources->index(row, 0).data(Qt::DisplayRole).toString());
    }
    return QSize(width, lineHeight * lines);
}

void MyWrapItem::setRowLines(int row, int lines) { storeRowLines(row, lines); }

void MyWrapItem::storeRowLines(int row, int lines) const
{
    if (row < 0)
        return;
    if (rowHeights.isEmpty())
        rowHeights.fill(0, tableStep);
    if (row >= rowHeights.size())
        rowHeights.resize((row / tableStep + 1) * tableStep);
    rowHeights[row] = lines;
}

int MyWrapItem::rowLines(int row) const
{
    return row >= 0 && row < rowHeights.size() ? rowHeights.at(row) : 0;
}

void MyWrapItem::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    QStyleOptionViewItem opt = setOptions(index, option);
    // The text area is the whole row, whatever the style's habit.
    opt.showDecorationSelected = true;
    const QString text = index.data(Qt::DisplayRole).toString();

    QRect checkRect;
    Qt::CheckState checkState = Qt::Unchecked;
    const QVariant checkData = index.data(Qt::CheckStateRole);
    if (checkData.isValid()) {
        checkState = static_cast<Qt::CheckState>(checkData.toInt());
        checkRect = doCheck(opt, opt.rect, checkData);
    }
    QRect decorationRect;
    QRect textRect;
    doLayout(opt, &checkRect, &decorationRect, &textRect, false);

    if (index.row() % 2 == 0)
        painter->fillRect(textRect, QColor::fromRgba(AppState::listBackgroundColor));
    if ((opt.state & QStyle::State_Selected) && textRect.isValid())
        painter->fillRect(textRect, QColor::fromRgba(AppState::listSelectionColor));
    drawCheck(painter, opt, checkRect, checkState);
    drawWrappedText(painter, opt, textRect, text);
    drawFocus(painter, opt, textRect);
    painter->restore();
}

void MyWrapItem::drawWrappedText(
    QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect, const QString &text) const
{
    // Plain text: an item is what the operator said or typed, never markup.
    QString plain = text;
    plain.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const Qt::LayoutDirection direction = plain.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    QTextOption textOption(QStyle::visualAlignment(direction, Qt::AlignLeft));
    textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    textOption.setTextDirection(direction);

    QTextLayout layout(plain, option.font, painter->device());
    layout.setTextOption(textOption);
    layout.setCacheEnabled(true);
    const qreal lineWidth = qMax(0, rect.width() - 2 * textMargin);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    QPalette::ColorGroup group = QPalette::Disabled;
    if (option.state & QStyle::State_Enabled)
        group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    painter->save();
    painter->setPen(option.palette.color(group, QPalette::Text));
    layout.draw(painter, QPointF(rect.left() + textMargin, rect.top() + textMargin));
    painter->restore();
}
