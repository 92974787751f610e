#pragma once

#include "documents/linecountcache.h"

#include <QCache>
#include <QItemDelegate>
#include <QTextLayout>
#include <QVector>

class ItemColumnModel;
class QAbstractItemModel;
class QFontMetricsF;
class QListView;

// Paints an item as word-wrapped plain text over the alternating row colour and
// makes each row as tall as its source sentence needs. A translation row shows
// its state: a queued one is muted (an ellipsis while it has no text yet), a
// failed one is tinted red with a red bar on its leading edge. The translation side
// (side 2) takes its line counts from the source sentence of the same row in
// the partner view, so both lists stay level whichever lays out first.
class MyWrapItem : public QItemDelegate
{
    Q_OBJECT

public:
    MyWrapItem(int side, QListView *view, QListView *partner);
    ~MyWrapItem() override;

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    void setRowLines(int row, int lines);
    int rowLines(int row) const; // 0 for a row never measured
    int rowCapacity() const { return rowHeights.size(); }

    // Line count of the source sentence of a row in this view's font and width.
    int sourceLines(int row, const QString &text) const;
    // Rows whose line counts are known for the current font and width.
    int measuredRows() const;
    static int lineCount(const QString &text, const QFontMetricsF &metrics, int width);

    int side;
    int lineHeight; // set by the main window's font step

private:
    void storeRowLines(int row, int lines) const;
    int textWidth() const;
    void drawWrappedText(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
        const QString &text, const QColor &colour, bool placeholder) const;

    mutable QVector<int> rowHeights;
    QListView *view;
    QListView *partnerView;
    mutable LineCountCache cache;
    mutable const QAbstractItemModel *lastSources = nullptr;
    mutable const ItemColumnModel *lastColumn = nullptr;
    mutable QCache<QString, QTextLayout> layouts { 400 }; // laid-out texts of recently painted rows
};
