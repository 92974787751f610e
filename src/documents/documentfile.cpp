#include "documents/documentfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringView>
#include <QVector>

namespace {

const QLatin1String txtSuffix(".txt");
const QLatin1String csvSuffix(".csv");

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

// Lines end at LF, CR LF or a lone CR; the end of the last line opens no further line.
QVector<QStringView> trimmedLines(const QString &text)
{
    QVector<QStringView> lines;
    lines.reserve(text.count(QLatin1Char('\n')) + 1);
    const QChar *const end = text.constData() + text.size();
    const QChar *start = text.constData();
    for (const QChar *p = start; p != end; ++p) {
        const ushort c = p->unicode();
        if (c != '\n' && c != '\r')
            continue;
        lines.append(QStringView(start, p).trimmed());
        if (c == '\r' && p + 1 != end && p[1] == QLatin1Char('\n'))
            ++p;
        start = p + 1;
    }
    if (start != end)
        lines.append(QStringView(start, end).trimmed());
    return lines;
}

int itemCount(const QStringList &sources, const QStringList &translations)
{
    return qMin(sources.size(), translations.size());
}

bool needsQuotes(const QString &field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
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
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const int size = bytes.size();
    if (size >= 2) {
        if (data[0] == 0xFF && data[1] == 0xFE)
            return decodeUtf16(data + 2, size - 2, true);
        if (data[0] == 0xFE && data[1] == 0xFF)
            return decodeUtf16(data + 2, size - 2, false);
        if (data[0] == 0xEF && data[1] == 0xBB) {
            const int skip = qMin(3, size);
            return decodeUtf8(bytes.constData() + skip, size - skip);
        }
    }
    return decodeUtf8(bytes.constData(), size);
}

DocumentFile::Items DocumentFile::parse(const QString &text, bool oneItemPerLine)
{
    const QVector<QStringView> lines = trimmedLines(text);
    Items items;
    if (oneItemPerLine) {
        items.sources.reserve(lines.size());
        for (const QStringView line : lines) {
            if (!line.isEmpty())
                items.sources.append(line.toString());
        }
        items.translations.reserve(items.sources.size());
        for (int i = 0; i < items.sources.size(); ++i)
            items.translations.append(QString());
        return items;
    }

    // Whole pairs are items even when both lines are empty (the program writes them);
    // one empty line left over at the end is only the file's trailing blank line.
    int count = lines.size();
    if (count % 2 && lines.at(count - 1).isEmpty())
        --count;
    items.sources.reserve((count + 1) / 2);
    items.translations.reserve((count + 1) / 2);
    for (int i = 0; i < count; i += 2) {
        items.sources.append(lines.at(i).toString());
        items.translations.append(i + 1 < count ? lines.at(i + 1).toString() : QString());
    }
    return items;
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
    *items = parse(decode(bytes), oneItemPerLine);
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

bool DocumentFile::writeAutoSave(const QString &fileName, const QStringList &sources,
                                 const QStringList &translations)
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
