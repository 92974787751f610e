#pragma once

#include <QListView>

// A document's list view. A list whose line counts are mostly unknown (a file
// just read, a new font) is laid out in batches from the top, so the first
// screenful shows at once and the window keeps answering; otherwise every
// layout takes all rows at once, so the scroll position and the bottom row
// (after an append) are exact.
class ItemListView : public QListView
{
    Q_OBJECT

public:
    explicit ItemListView(QWidget *parent = nullptr);

    void doItemsLayout() override;
    // Lays the rows out again on the next pass of the event loop.
    void scheduleLayout();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
};
