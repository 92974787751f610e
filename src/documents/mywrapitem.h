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
// makes each row as tall as the longer of its sentence and its partner's: each
// side counts the lines of its own text in its own view's font and width, and
// a row of either list takes the larger count, so the lists stay level and a
// translation longer than its source is not drawn over the next row. A
// translation row shows its state: a queued one is muted (an ellipsis while it
// has no text yet), a failed one is tinted red with a red bar on its leading edge.
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

    // The source view's delegate learns its partner once the translation view exists.
    void setPartner(QListView *partner) { partnerView = partner; }
    // Line count of a row's text in this view's font and width.
    int textLines(int row, const QString &text) const;
    // Rows whose line counts are known on both sides for their fonts and widths.
    int measuredRows() const;
    static int lineCount(const QString &text, const QFontMetricsF &metrics, int width);

    int side;
    int lineHeight; // set by the main window's font step

private:
    void storeRowLines(int row, int lines) const;
    int textWidth() const;
    MyWrapItem *partnerDelegate() const;
    // Lines of the row's text in this delegate's own view.
    int ownLines(int row) const;
    // Returns how many lines the text took.
    int drawWrappedText(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
        const QString &text, const QColor &colour, bool placeholder) const;

    mutable QVector<int> rowHeights;
    QListView *view;
    QListView *partnerView;
    mutable LineCountCache cache;
    mutable const QAbstractItemModel *lastModel = nullptr;
    mutable const ItemColumnModel *lastColumn = nullptr;
    mutable QCache<QString, QTextLayout> layouts { 400 }; // laid-out texts of recently painted rows
};
