#include "itemlistview.h"

#include "documents/mywrapitem.h"

#include <QEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace {
// Unknown rows measured before the first paint: about 5 ms of a Chinese
// sentence and its Uyghur translation each.
constexpr int batchRows = 500;
// A width being dragged is measured for once it settles.
constexpr int resizeSettleMs = 100;
}

ItemListView::ItemListView(QWidget *parent)
    : QListView(parent)
{
    setWordWrap(true);
}

void ItemListView::setModel(QAbstractItemModel *model)
{
    QListView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ItemListView::rowsGone);
}

QRect ItemListView::visualRect(const QModelIndex &index) const
{
    const int row = index.row();
    if (!index.isValid() || index.parent() != rootIndex() || row >= measured())
        return QRect();
    return QRect(0, tops.at(row) - verticalOffset(), viewport()->width(), tops.at(row + 1) - tops.at(row));
}

QModelIndex ItemListView::indexAt(const QPoint &point) const
{
    if (!model() || point.x() < 0 || point.x() >= viewport()->width())
        return QModelIndex();
    const int row = rowAt(point.y() + verticalOffset());
    return row < 0 ? QModelIndex() : model()->index(row, 0, rootIndex());
}

int ItemListView::rowAt(int contentY) const
{
    if (contentY < 0 || contentY >= tops.last())
        return -1;
    return int(std::upper_bound(tops.cbegin(), tops.cend(), contentY) - tops.cbegin()) - 1;
}

int ItemListView::firstRowFitting(int last, int bottom, int room) const
{
    const int row = int(std::lower_bound(tops.cbegin(), tops.cbegin() + last + 1, bottom - room) - tops.cbegin());
    return std::min(row, last);
}

void ItemListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || !model() || index.parent() != rootIndex())
        return;
    const int row = index.row();
    measureUpTo(row + 1);
    if (row >= measured())
        return;
    updateGeometries();
    const int height = viewport()->height();
    const int top = tops.at(row);
    const int bottom = tops.at(row + 1);
    QScrollBar *bar = verticalScrollBar();
    if (verticalScrollMode() == ScrollPerPixel) {
        int value = bar->value();
        if (hint == PositionAtTop || (hint == EnsureVisible && top < value))
            value = top;
        else if (hint == PositionAtBottom || (hint == EnsureVisible && bottom > value + height))
            value = bottom - height;
        else if (hint == PositionAtCenter)
            value = (top + bottom - height) / 2;
        bar->setValue(value);
        return;
    }
    int first = bar->value();
    if (hint == PositionAtTop || (hint == EnsureVisible && row < first))
        first = row;
    else if (hint == PositionAtBottom || (hint == EnsureVisible && bottom - tops.value(first) > height))
        first = firstRowFitting(row, bottom, height);
    else if (hint == PositionAtCenter)
        first = firstRowFitting(row, (top + bottom) / 2, height / 2);
    bar->setValue(first);
}

void ItemListView::doItemsLayout()
{
    batchTimer.stop();
    tops.resize(1);
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    auto *wrap = qobject_cast<MyWrapItem *>(itemDelegate());
    // Batches grow from the top, so only a list shown from the top is batched.
    const bool batched
        = wrap && isVisible() && verticalScrollBar()->value() == 0 && rows - wrap->measuredRows() > batchRows;
    measureUpTo(batched ? batchRows : rows);
    if (measured() < rows)
        batchTimer.start(0, this);
    // Skips the list view's own layout: it updates the scroll bars and repaints.
    QAbstractItemView::doItemsLayout();
}

void ItemListView::reset()
{
    batchTimer.stop();
    tops.resize(1);
    QListView::reset();
}

void ItemListView::scheduleLayout() { scheduleDelayedItemsLayout(); }

void ItemListView::measureUpTo(int rows)
{
    if (!model())
        return;
    rows = std::min(rows, model()->rowCount(rootIndex()));
    if (measured() >= rows)
        return;
    QAbstractItemDelegate *delegate = itemDelegate();
    const QStyleOptionViewItem option = viewOptions();
    tops.reserve(rows + 1);
    for (int row = measured(); row < rows; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        tops.append(tops.last() + delegate->sizeHint(option, index).height());
    }
}

void ItemListView::remeasureRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, std::min(measured(), model() ? model()->rowCount(rootIndex()) : 0) - 1);
    if (!model() || first > last)
        return;
    QAbstractItemDelegate *delegate = itemDelegate();
    const QStyleOptionViewItem option = viewOptions();
    bool changed = false;
    int shift = 0;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        const int height = delegate->sizeHint(option, index).height();
        const int oldHeight = tops.at(row + 1) + shift - tops.at(row);
        changed = changed || height != oldHeight;
        shift += height - oldHeight;
        tops[row + 1] = tops.at(row) + height;
    }
    if (!changed)
        return;
    for (int row = last + 2; row < tops.size(); ++row)
        tops[row] += shift;
    updateGeometries();
    viewport()->update();
}

void ItemListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    const int count = end - start + 1;
    // A layout run while the other column was told first has measured the new rows already.
    if (parent == rootIndex() && start <= measured() && measured() + count <= model()->rowCount(rootIndex())) {
        // Entered empty, then measured like any changed row, which moves the rows below.
        tops.insert(start + 1, count, tops.at(start));
        remeasureRows(start, end);
    }
    // Not the list view's: it would lay every row out again.
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void ItemListView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    if (parent != rootIndex() || start >= measured())
        return;
    end = std::min(end, measured() - 1);
    const int shift = tops.at(end + 1) - tops.at(start);
    tops.remove(start + 1, end - start + 1);
    for (int row = start + 1; row < tops.size(); ++row)
        tops[row] -= shift;
}

void ItemListView::rowsGone()
{
    // A layout run while the other column was told first measured the rows still there.
    if (measured() > model()->rowCount(rootIndex())) {
        doItemsLayout();
        return;
    }
    updateGeometries();
    viewport()->update();
}

void ItemListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    if (topLeft.parent() == rootIndex()
        && (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole)))
        remeasureRows(topLeft.row(), bottomRight.row());
    // Not the list view's: it would lay every row out again.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void ItemListView::updateGeometries()
{
    const int rows = measured();
    const int height = viewport()->height();
    QScrollBar *bar = verticalScrollBar();
    if (verticalScrollMode() == ScrollPerPixel) {
        bar->setRange(0, std::max(0, tops.last() - height));
        bar->setPageStep(height);
        bar->setSingleStep(std::max(1, height / 20));
    } else {
        // Scrolled by whole rows: the last page starts where the remaining rows fit.
        bar->setRange(0, rows > 0 ? firstRowFitting(rows - 1, tops.last(), height) : 0);
        const int first = std::min(bar->value(), std::max(rows - 1, 0));
        const int visible = rows > 0 ? rowAt(std::min(tops.at(first) + height, tops.last() - 1)) - first : 0;
        bar->setPageStep(std::max(1, visible));
        bar->setSingleStep(1);
    }
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void ItemListView::paintEvent(QPaintEvent *event)
{
    if (!model() || measured() == 0)
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option = viewOptions();
    const QRect area = event->rect();
    const int offset = verticalOffset();
    const int first = rowAt(std::max(area.top() + offset, 0));
    if (first < 0)
        return;
    int last = rowAt(area.bottom() + offset);
    if (last < 0)
        last = measured() - 1;
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() || viewport()->hasFocus();
    const QPalette::ColorGroup group
        = !isEnabled() ? QPalette::Disabled : isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    const QStyle::State base = option.state;
    QAbstractItemDelegate *delegate = itemDelegate();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = QRect(0, tops.at(row) - offset, viewport()->width(), tops.at(row + 1) - tops.at(row));
        option.state = base;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (isEnabled() && (model()->flags(index) & Qt::ItemIsEnabled))
            option.state |= QStyle::State_Enabled;
        else
            option.state &= ~QStyle::State_Enabled;
        if (focus && index == current)
            option.state |= QStyle::State_HasFocus;
        if (index == current && state() == EditingState)
            option.state |= QStyle::State_Editing;
        option.palette.setCurrentColorGroup(group);
        delegate->paint(&painter, option, index);
    }
}

void ItemListView::scrollContentsBy(int, int)
{
    // Whole rows of any height: the rows are painted again, not moved by a distance.
    updateEditorGeometries();
    viewport()->update();
}

void ItemListView::resizeEvent(QResizeEvent *event)
{
    QAbstractItemView::resizeEvent(event);
    // Row heights follow the width.
    if (event->size().width() != event->oldSize().width())
        resizeTimer.start(resizeSettleMs, this);
}

void ItemListView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == resizeTimer.timerId()) {
        resizeTimer.stop();
        scheduleDelayedItemsLayout();
    } else if (event->timerId() == batchTimer.timerId()) {
        measureUpTo(measured() + batchRows);
        if (!model() || measured() >= model()->rowCount(rootIndex()))
            batchTimer.stop();
        updateGeometries();
        viewport()->update();
    } else {
        QListView::timerEvent(event);
    }
}

void ItemListView::showEvent(QShowEvent *event)
{
    // Rows measured while hidden have no heights of their own.
    scheduleDelayedItemsLayout();
    QListView::showEvent(event);
}

void ItemListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        scheduleDelayedItemsLayout();
    QListView::changeEvent(event);
}

int ItemListView::horizontalOffset() const { return 0; }

int ItemListView::verticalOffset() const
{
    const int value = verticalScrollBar()->value();
    if (verticalScrollMode() == ScrollPerPixel)
        return value;
    return tops.at(std::min(std::max(value, 0), measured()));
}

QModelIndex ItemListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    if (!model())
        return QModelIndex();
    const int rows = model()->rowCount(rootIndex());
    if (rows == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    int row = current.row();
    const int page = viewport()->height();
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        if (row < measured())
            row = std::max(rowAt(std::max(tops.at(row) - page, 0)), 0);
        break;
    case MovePageDown:
        if (row < measured())
            row = rowAt(std::min(tops.at(row) + page, tops.last() - 1));
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(std::min(std::max(row, 0), rows - 1), 0, rootIndex());
}

void ItemListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!model() || !selectionModel())
        return;
    const QRect area = rect.normalized();
    const int offset = verticalOffset();
    int first = rowAt(std::max(area.top() + offset, 0));
    int last = rowAt(area.bottom() + offset);
    if (first < 0 && area.top() + offset < 0 && measured() > 0)
        first = 0;
    if (last < 0 && area.bottom() + offset >= tops.last())
        last = measured() - 1;
    QItemSelection selection;
    if (first >= 0 && last >= first)
        selection.select(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion ItemListView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (range.parent() != rootIndex() || range.top() >= measured())
            continue;
        const int last = std::min(range.bottom(), measured() - 1);
        region += QRect(0, tops.at(range.top()) - verticalOffset(), viewport()->width(),
            tops.at(last + 1) - tops.at(range.top()));
    }
    return region;
}

bool ItemListView::isIndexHidden(const QModelIndex &) const { return false; }
