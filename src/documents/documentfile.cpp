#include "documents/documentfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringView>
#include <QVector>

#include <cstring>

namespace {

const QLatin1String txtSuffix(".txt");
const QLatin1String csvSuffix(".csv");

enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian };

struct Detected
{
    Encoding encoding;
    int markLength; // bytes before the text
};

// The mark decides; the third byte of the UTF-8 mark is taken on trust.
Detected detect(const QByteArray &bytes)
{
    const int size = bytes.size();
    if (size >= 2) {
        const uchar first = uchar(bytes.at(0));
        const uchar second = uchar(bytes.at(1));
        if (first == 0xFF && second == 0xFE)
            return { Encoding::Utf16LittleEndian, 2 };
        if (first == 0xFE && second == 0xFF)
            return { Encoding::Utf16BigEndian, 2 };
        if (first == 0xEF && second == 0xBB)
            return { Encoding::Utf8, qMin(3, size) };
    }
    return { Encoding::Utf8, 0 };
}

QString decodeUtf16(const uchar *data, int size, bool littleEndian)
{
    const int units = size / 2;
    QString text(units + size % 2, Qt::Uninitialized);
    QChar *out = text.data();
    for (int i = 0; i < units; ++i) {
        const uchar first = data[2 * i];
        const uchar second = data[2 * i + 1];
        out[i] = littleEndian ? QChar(first, second) : QChar(second, first);
    }
    if (size % 2)
        out[units] = QChar::ReplacementCharacter;

    // A lone surrogate could not be written back as UTF-8; make it visible instead.
    const int length = text.size();
    for (int i = 0; i < length; ++i) {
        if (out[i].isHighSurrogate() && i + 1 < length && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString decodeUtf8(const char *data, int size)
{
    // QString::fromUtf8 swallows a leading U+FEFF, but after the file's own mark it is text.
    int marks = 0;
    while (size - 3 * marks >= 3 && uchar(data[3 * marks]) == 0xEF && uchar(data[3 * marks + 1]) == 0xBB
        && uchar(data[3 * marks + 2]) == 0xBF)
        ++marks;
    QString text = QString::fromUtf8(data + 3 * marks, size - 3 * marks);
    if (marks)
        text.prepend(QString(marks, QChar(QChar::ByteOrderMark)));
    return text;
}

const char *findChar(const char *from, const char *end, char c)
{
    const void *found = std::memchr(from, c, size_t(end - from));
    return found ? static_cast<const char *>(found) : end;
}

const QChar *findChar(const QChar *from, const QChar *end, char c)
{
    const qsizetype found = QStringView(from, end).indexOf(QLatin1Char(c));
    return found < 0 ? end : from + found;
}

template <typename Char> struct Line
{
    const Char *begin;
    const Char *end;
};

// Lines end at LF, CR LF or a lone CR; the end of the last line opens no further line.
// Each break is looked up with a fast search and remembered until the scan passes it.
template <typename Char> QVector<Line<Char>> splitLines(const Char *begin, const Char *end)
{
    QVector<Line<Char>> lines;
    const Char *lf = nullptr;
    const Char *cr = nullptr;
    for (const Char *start = begin; start < end;) {
        if (!lf || lf < start)
            lf = findChar(start, end, '\n');
        if (!cr || cr < start)
            cr = findChar(start, end, '\r');
        if (cr < lf) {
            lines.append(Line<Char> { start, cr });
            start = cr + 1 == lf ? lf + 1 : cr + 1;
        } else {
            lines.append(Line<Char> { start, lf });
            start = lf == end ? end : lf + 1;
        }
    }
    return lines;
}

QString lineText(const Line<QChar> &line) { return QStringView(line.begin, line.end).trimmed().toString(); }

QString lineText(const Line<char> &line)
{
    return decodeUtf8(line.begin, int(line.end - line.begin)).trimmed();
}

template <typename Char>
DocumentFile::Items itemsFromLines(const Char *begin, const Char *end, bool oneItemPerLine)
{
    const QVector<Line<Char>> lines = splitLines(begin, end);
    DocumentFile::Items items;
    if (oneItemPerLine) {
        items.sources.reserve(lines.size());
        for (const Line<Char> &line : lines) {
            const QString text = lineText(line);
            if (!text.isEmpty())
                items.sources.append(text);
        }
        items.translations.reserve(items.sources.size());
        for (int i = 0; i < items.sources.size(); ++i)
            items.translations.append(QString());
        return items;
    }

    const int count = lines.size();
    items.sources.reserve((count + 1) / 2);
    items.translations.reserve((count + 1) / 2);
    for (int i = 0; i < count; i += 2) {
        items.sources.append(lineText(lines.at(i)));
        items.translations.append(i + 1 < count ? lineText(lines.at(i + 1)) : QString());
    }
    // Whole pairs are items even when both lines are empty (the program writes them);
    // one empty line left over at the end is only the file's trailing blank line.
    if (count % 2 && items.sources.constLast().isEmpty()) {
        items.sources.removeLast();
        items.translations.removeLast();
    }
    return items;
}

int itemCount(const QStringList &sources, const QStringList &translations)
{
    return qMin(sources.size(), translations.size());
}

bool needsQuotes(const QString &field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n'))
            return true;
    }
    return false;
}

void appendCsvField(QString &out, const QString &field)
{
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
}

void setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

} // namespace

QString DocumentFile::decode(const QByteArray &bytes)
{
    const Detected detected = detect(bytes);
    const char *text = bytes.constData() + detected.markLength;
    const int size = bytes.size() - detected.markLength;
    if (detected.encoding == Encoding::Utf8)
        return decodeUtf8(text, size);
    return decodeUtf16(
        reinterpret_cast<const uchar *>(text), size, detected.encoding == Encoding::Utf16LittleEndian);
}

DocumentFile::Items DocumentFile::parse(const QString &text, bool oneItemPerLine)
{
    return itemsFromLines(text.constData(), text.constData() + text.size(), oneItemPerLine);
}

bool DocumentFile::read(const QString &fileName, bool oneItemPerLine, Items *items, QString *error)
{
    const QFileInfo info(fileName);
    // A pipe or a device would block or never end; directories are refused by QFile itself.
    if (info.exists() && !info.isFile() && !info.isDir()) {
        setError(error, tr("Not a regular file"));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.size() > maxFileSize) {
        setError(error, tr("File too large"));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    const Detected detected = detect(bytes);
    if (detected.encoding == Encoding::Utf8) {
        // Line by line: no copy of the whole text is needed.
        const char *end = bytes.constData() + bytes.size();
        *items = itemsFromLines(bytes.constData() + detected.markLength, end, oneItemPerLine);
    } else {
        *items = parse(decode(bytes), oneItemPerLine);
    }
    return true;
}

QByteArray DocumentFile::encode(const QStringList &sources, const QStringList &translations)
{
    const int n = itemCount(sources, translations);
    if (n == 0)
        return QByteArray();
    int length = 1;
    for (int i = 0; i < n; ++i)
        length += sources.at(i).size() + translations.at(i).size() + 2;
    QString text;
    text.reserve(length);
    text += QChar(QChar::ByteOrderMark);
    for (int i = 0; i < n; ++i) {
        text += sources.at(i);
        text += QLatin1Char('\n');
        text += translations.at(i);
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

QByteArray DocumentFile::encodeCsv(const QStringList &sources, const QStringList &translations)
{
    const int n = itemCount(sources, translations);
    if (n == 0)
        return QByteArray();
    QString text;
    text += QChar(QChar::ByteOrderMark);
    for (int i = 0; i < n; ++i) {
        appendCsvField(text, sources.at(i));
        text += QLatin1Char(',');
        appendCsvField(text, translations.at(i));
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool DocumentFile::write(const QString &fileName, const QByteArray &data, QString *error)
{
    // Replacing a device or a pipe with a regular file would be worse than failing.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        setError(error, tr("Not a regular file"));
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(data) != data.size()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool DocumentFile::writeAutoSave(
    const QString &fileName, const QStringList &sources, const QStringList &translations)
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    return write(fileName, encode(sources, translations), nullptr);
}

QString DocumentFile::saveAsName(const QString &chosen)
{
    if (chosen.contains(txtSuffix))
        return chosen;
    return chosen + txtSuffix;
}

QString DocumentFile::exportProposal(const QString &currentFile)
{
    if (!currentFile.contains(txtSuffix))
        return currentFile + csvSuffix;
    QString proposal = currentFile;
    return proposal.replace(txtSuffix, csvSuffix);
}
