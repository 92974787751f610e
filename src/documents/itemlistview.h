#pragma once

#include <QBasicTimer>
#include <QListView>
#include <QVector>

// A document's list view: one row per item, as wide as the view and as tall as
// its delegate says. It keeps its own table of row positions, so that a row
// appended, removed or changed is measured alone; the list view's own layout
// measures every row again after any change, which made each new sentence of a
// long recording slower than the last. A list whose line counts are mostly
// unknown (a file just read, a new font) is measured in batches from the top,
// so the first screenful shows at once and the window keeps answering.
class ItemListView : public QListView
{
    Q_OBJECT

public:
    explicit ItemListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    QRect visualRect(const QModelIndex &index) const override;
    QModelIndex indexAt(const QPoint &point) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;
    void reset() override;

    // Lays the rows out again on the next pass of the event loop.
    void scheduleLayout();
    // Measures these rows again: what decides their height has changed.
    void remeasureRows(int first, int last);

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
        const QVector<int> &roles = QVector<int>()) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    bool isIndexHidden(const QModelIndex &index) const override;

private:
    int measured() const { return tops.size() - 1; }
    void measureUpTo(int rows);
    int rowAt(int contentY) const; // -1 outside the measured rows
    // The first row from which the rows up to `last` fit into `room` pixels above `bottom`.
    int firstRowFitting(int last, int bottom, int room) const;
    void rowsGone();

    QVector<int> tops { 0 }; // tops[r]: where row r starts; the last entry is where the rows end
    QBasicTimer batchTimer;
    QBasicTimer resizeTimer;
};
