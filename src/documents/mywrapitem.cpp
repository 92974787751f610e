#include "mywrapitem.h"

#include "app/appstate.h"
#include "documents/documentmodel.h"
#include "documents/itemcolumnmodel.h"
#include "documents/itemlistview.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QListView>
#include <QPainter>
#include <QTextLayout>

namespace {
// Blank space kept around the text inside its row, as a text document leaves it.
constexpr int textMargin = 4;
constexpr int tableStep = 100;
constexpr int failureBarWidth = 4;
const QColor mutedText(140, 140, 140);
const QColor failedText(160, 0, 0);
const QColor failedTint(230, 40, 40, 45);
const QColor failedBar(210, 30, 30);
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

int MyWrapItem::textLines(int row, const QString &text) const
{
    if (!view->isVisible())
        return 1;
    return cache.lines(row, text, view->font(), textWidth());
}

MyWrapItem *MyWrapItem::partnerDelegate() const
{
    return partnerView ? qobject_cast<MyWrapItem *>(partnerView->itemDelegate()) : nullptr;
}

int MyWrapItem::measuredRows() const
{
    const int own = cache.rowsKnown(view->font(), textWidth());
    const MyWrapItem *partner = partnerDelegate();
    return partner && partner->view->isVisible() ? qMin(own, partner->cache.rowsKnown(partner->view->font(), partner->textWidth())) : own;
}

// Rows are measured at the width their text is drawn at.
int MyWrapItem::textWidth() const { return view->viewport()->width() - 2 * textMargin; }

int MyWrapItem::ownLines(int row) const
{
    // Every row is asked on every layout: a document's column is read directly,
    // without a QVariant or a copy per row.
    const QAbstractItemModel *model = view->model();
    if (!model || row >= model->rowCount())
        return 1;
    if (model != lastModel) {
        lastModel = model;
        lastColumn = qobject_cast<const ItemColumnModel *>(model);
    }
    return lastColumn ? textLines(row, lastColumn->textAt(row))
                      : textLines(row, model->index(row, 0).data().toString());
}

QSize MyWrapItem::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // A hidden view is measured again when it is shown.
    const int width = view->viewport()->width();
    if (width <= 0 || !view->isVisible())
        return QItemDelegate::sizeHint(option, index);
    const int row = index.row();
    int lines = ownLines(row);
    if (const MyWrapItem *partner = partnerDelegate())
        lines = qMax(lines, partner->ownLines(row));
    if (side == 1)
        storeRowLines(row, lines);
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
    QString text = index.data(Qt::DisplayRole).toString();
    const QVariant stateData = index.data(ItemColumnModel::StateRole);
    const int state = stateData.isValid() ? stateData.toInt() : DocumentModel::Translated;
    const bool placeholder = state == DocumentModel::Queued && text.isEmpty();
    if (placeholder)
        text = QString(QChar(0x2026));

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
    QColor colour;
    if (state == DocumentModel::Failed) {
        painter->fillRect(textRect, failedTint);
        QRect bar = textRect;
        if (opt.direction == Qt::RightToLeft)
            bar.setLeft(bar.right() - failureBarWidth + 1);
        else
            bar.setWidth(failureBarWidth);
        painter->fillRect(bar, failedBar);
        colour = failedText;
    } else if (state == DocumentModel::Queued) {
        colour = mutedText;
    }
    drawCheck(painter, opt, checkRect, checkState);
    const int drawn = drawWrappedText(painter, opt, textRect, text, colour, placeholder);
    if (lineHeight > 0 && drawn > textRect.height() / lineHeight) {
        // Drawn on more lines than counted: count it so, and measure the row
        // again in both lists once this paint is over.
        cache.raise(index.row(), text, drawn);
        const int row = index.row();
        for (QListView *list : { view, partnerView }) {
            if (auto *rows = qobject_cast<ItemListView *>(list))
                QMetaObject::invokeMethod(rows, [rows, row] { rows->remeasureRows(row, row); }, Qt::QueuedConnection);
        }
    }
    drawFocus(painter, opt, textRect);
    painter->restore();
}

int MyWrapItem::drawWrappedText(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
    const QString &text, const QColor &colour, bool placeholder) const
{
    // Plain text: an item is what the operator said or typed, never markup.
    QString plain = text;
    plain.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // A placeholder has no direction of its own: it stands where the row's text would.
    const Qt::LayoutDirection direction = placeholder ? option.direction
        : plain.isRightToLeft()                       ? Qt::RightToLeft
                                                      : Qt::LeftToRight;
    QTextOption textOption(QStyle::visualAlignment(direction, Qt::AlignLeft));
    textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    textOption.setTextDirection(direction);

    // Shaping is the costly part of a paint, Uyghur above all: rows painted
    // again unchanged (after a scroll or an append) reuse their layout.
    const int lineWidth = qMax(0, rect.width() - 2 * textMargin);
    const QString key = plain + QChar(0x1F) + QString::number(lineWidth) + QChar(0x1F) + option.font.key()
        + QChar(0x1F) + QString::number(int(direction)) + QChar(0x1F)
        + QString::number(painter->device()->logicalDpiY());
    QTextLayout *layout = layouts.object(key);
    if (!layout) {
        layout = new QTextLayout(plain, option.font, painter->device());
        layout->setTextOption(textOption);
        layout->setCacheEnabled(true);
        qreal y = 0;
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout->endLayout();
        layouts.insert(key, layout);
    }

    QPalette::ColorGroup group = QPalette::Disabled;
    if (option.state & QStyle::State_Enabled)
        group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    painter->save();
    painter->setPen(colour.isValid() ? colour : option.palette.color(group, QPalette::Text));
    layout->draw(painter, QPointF(rect.left() + textMargin, rect.top() + textMargin));
    painter->restore();
    return layout->lineCount();
}
