#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// Line counts of item texts for one font and one width. Laying out a list asks
// for every row's height after every change, so each text is measured once,
// word widths are shared between texts, and a row whose string is still the
// very one seen last time is answered without hashing it. A new font or width
// starts afresh.
class LineCountCache
{
public:
    // row: where the text stands in its list, or -1.
    int lines(int row, const QString &text, const QFont &font, int width);
    // The fitting rule: words are the blank-separated parts of the trimmed text,
    // laid out greedily; a word wider than a line takes as many lines as it needs.
    static int count(const QString &text, int width, qreal spaceWidth,
        const std::function<qreal(const QString &)> &wordWidth);
    // The text was drawn on more lines than the fitting rule gave (a line may
    // not begin with some punctuation, say): it is counted so from now on.
    void raise(int row, const QString &text, int lines);
    // How many rows have a count for this font and width.
    int rowsKnown(const QFont &font, int width) const;
    void clear();
    int size() const { return counts.size(); }

private:
    qreal wordWidth(const QString &word);
    void reset(const QFont &newFont, int newWidth);

    QFont font;
    int width = -1;
    std::unique_ptr<QFontMetricsF> metrics;
    qreal spaceWidth = 0;
    struct RowEntry
    {
        QString text; // held, so that the same data pointer means the same text
        int lines = 0;
    };
    QVector<RowEntry> rows;
    QHash<QString, int> counts;
    QHash<QString, qreal> wordWidths;
};
