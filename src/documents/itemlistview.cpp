#include "itemlistview.h"

#include "documents/mywrapitem.h"

#include <QEvent>
#include <QScrollBar>

namespace {
// Unknown rows measured before the first paint; about 5 ms of Chinese text.
constexpr int batchRows = 1000;
}

ItemListView::ItemListView(QWidget *parent)
    : QListView(parent)
{
    setBatchSize(batchRows);
    // Row heights depend on the width, so a resize lays the rows out again.
    setWordWrap(true);
}

void ItemListView::doItemsLayout()
{
    auto *wrap = qobject_cast<MyWrapItem *>(itemDelegate());
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    // Batches restart from the top, so only a list shown from the top is batched.
    const bool batched
        = wrap && isVisible() && verticalScrollBar()->value() == 0 && rows - wrap->measuredRows() > batchRows;
    setLayoutMode(batched ? Batched : SinglePass);
    QListView::doItemsLayout();
    // The mode is read when a layout starts; later batches run on regardless.
    setLayoutMode(SinglePass);
}

void ItemListView::scheduleLayout() { scheduleDelayedItemsLayout(); }

void ItemListView::showEvent(QShowEvent *event)
{
    // Rows laid out while hidden have no measured heights.
    scheduleDelayedItemsLayout();
    QListView::showEvent(event);
}

void ItemListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        scheduleDelayedItemsLayout();
    QListView::changeEvent(event);
}
