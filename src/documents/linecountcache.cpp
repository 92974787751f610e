#include "linecountcache.h"

#include <QVarLengthArray>

namespace {
// Past this many distinct texts (provisional results pile up) the table starts again.
constexpr int maxEntries = 200000;
}

int LineCountCache::count(
    const QString &text, int width, qreal spaceWidth, const std::function<qreal(const QString &)> &wordWidth)
{
    if (width <= 0)
        return 1;
    const QString trimmed = text.trimmed();
    QVarLengthArray<qreal, 32> widths;
    int start = 0;
    for (;;) {
        const int blank = trimmed.indexOf(QLatin1Char(' '), start);
        const int end = blank < 0 ? trimmed.size() : blank;
        widths.append(end > start ? wordWidth(trimmed.mid(start, end - start)) : 0.0);
        if (blank < 0)
            break;
        start = blank + 1;
    }

    int lines = 0;
    int k = 0;
    int i = 0;
    const int n = widths.size();
    while (i < n) {
        ++lines;
        qreal used = 0.0;
        const qreal limit = qreal(k + 1) * width;
        while (i < n) {
            const qreal total = widths[i] + used;
            if (limit > total) {
                used = total + spaceWidth;
                ++i;
                k = 0;
            } else {
                // A word that fails on a partly filled line starts the next one at
                // the view's width; only a word wider than a line widens the limit.
                k = used > 0.0 ? 0 : k + 1;
                break;
            }
        }
    }
    return lines == 0 ? 1 : lines;
}

int LineCountCache::lines(int row, const QString &text, const QFont &textFont, int textWidth)
{
    if (textWidth <= 0)
        return 1;
    // A copy of the same font is the common case, and far cheaper to tell.
    if (!metrics || textWidth != width || (!textFont.isCopyOf(font) && textFont != font))
        reset(textFont, textWidth);
    if (row >= 0 && row < rows.size()) {
        const RowEntry &entry = rows.at(row);
        if (entry.text.constData() == text.constData() && entry.text.size() == text.size())
            return entry.lines;
    }

    int result;
    auto it = counts.constFind(text);
    if (it != counts.constEnd()) {
        result = it.value();
    } else {
        if (counts.size() >= maxEntries)
            counts.clear();
        result = count(text, width, spaceWidth, [this](const QString &word) { return wordWidth(word); });
        counts.insert(text, result);
    }
    if (row >= 0) {
        if (row >= rows.size())
            rows.resize(row + 1);
        rows[row] = RowEntry { text, result };
    }
    return result;
}

void LineCountCache::raise(int row, const QString &text, int lines)
{
    if (!metrics)
        return;
    int &known = counts[text];
    known = qMax(known, lines);
    if (row >= 0 && row < rows.size() && rows.at(row).text == text)
        rows[row].lines = known;
}

int LineCountCache::rowsKnown(const QFont &textFont, int textWidth) const
{
    return metrics && textWidth == width && textFont == font ? rows.size() : 0;
}

void LineCountCache::clear()
{
    metrics.reset();
    width = -1;
    rows.clear();
    counts.clear();
    wordWidths.clear();
}

qreal LineCountCache::wordWidth(const QString &word)
{
    auto it = wordWidths.constFind(word);
    if (it != wordWidths.constEnd())
        return it.value();
    if (wordWidths.size() >= maxEntries)
        wordWidths.clear();
    const qreal w = metrics->horizontalAdvance(word);
    wordWidths.insert(word, w);
    return w;
}

void LineCountCache::reset(const QFont &newFont, int newWidth)
{
    rows.clear();
    counts.clear();
    if (!metrics || newFont != font) {
        wordWidths.clear();
        font = newFont;
        metrics = std::make_unique<QFontMetricsF>(font);
        spaceWidth = metrics->horizontalAdvance(QLatin1Char(' '));
    }
    width = newWidth;
}
