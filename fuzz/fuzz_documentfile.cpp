// Decodes arbitrary bytes as a document file, reads them both ways and writes
// them back, aborting when what was read does not survive writing and reading.

#include "documents/documentfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QVector>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *invariant)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        std::abort();
    }
}

// The slow, obvious reading, kept apart from the fast one so the two can disagree.
DocumentFile::Items referenceParse(const QString &text, bool oneItemPerLine)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    if (!unified.isEmpty()) {
        lines = unified.split(QLatin1Char('\n'));
        if (unified.endsWith(QLatin1Char('\n')))
            lines.removeLast();
    }
    for (QString &line : lines)
        line = line.trimmed();

    DocumentFile::Items items;
    if (oneItemPerLine) {
        for (const QString &line : lines) {
            if (!line.isEmpty()) {
                items.sources << line;
                items.translations << QString();
            }
        }
        return items;
    }
    if (lines.size() % 2 && lines.last().isEmpty())
        lines.removeLast();
    for (int i = 0; i < lines.size(); i += 2) {
        items.sources << lines.at(i);
        items.translations << (i + 1 < lines.size() ? lines.at(i + 1) : QString());
    }
    return items;
}

bool wellFormed(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

bool isCleanItem(const QString &text)
{
    return text == text.trimmed() && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
}

// A plain RFC 4180 reader: two fields per record, every record ends in LF.
bool readCsv(const QString &text, QStringList *first, QStringList *second)
{
    QStringList fields;
    QString field;
    int i = 0;
    while (i < text.size()) {
        field.clear();
        if (text.at(i) == QLatin1Char('"')) {
            ++i;
            for (;;) {
                if (i >= text.size())
                    return false;
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text.at(i++);
            }
        } else {
            while (i < text.size() && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\n')) {
                if (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\r'))
                    return false;
                field += text.at(i++);
            }
        }
        fields << field;
        if (i >= text.size())
            return false;
        if (text.at(i) == QLatin1Char('\n')) {
            if (fields.size() != 2)
                return false;
            *first << fields.at(0);
            *second << fields.at(1);
            fields.clear();
        } else if (text.at(i) != QLatin1Char(',')) {
            return false;
        }
        ++i;
    }
    return fields.isEmpty();
}

const QByteArray utf8Mark("\xEF\xBB\xBF");

void checkItems(const QString &text, bool oneItemPerLine)
{
    const DocumentFile::Items items = DocumentFile::parse(text, oneItemPerLine);
    const DocumentFile::Items expected = referenceParse(text, oneItemPerLine);
    check(items.sources == expected.sources, "sources differ from the plain reading");
    check(items.translations == expected.translations, "translations differ from the plain reading");
    check(items.sources.size() == items.translations.size(), "lists of unequal length");
    for (int i = 0; i < items.sources.size(); ++i) {
        check(isCleanItem(items.sources.at(i)) && isCleanItem(items.translations.at(i)),
            "item not trimmed or holding a line break");
        if (oneItemPerLine)
            check(!items.sources.at(i).isEmpty() && items.translations.at(i).isEmpty(),
                "one item per line gave an empty source or a translation");
    }

    const QByteArray file = DocumentFile::encode(items.sources, items.translations);
    check(items.sources.isEmpty() ? file.isEmpty() : file.startsWith(utf8Mark), "document file mark");
    const DocumentFile::Items reread = DocumentFile::parse(DocumentFile::decode(file), false);
    check(reread.sources == items.sources, "sources lost in save and open");
    check(reread.translations == items.translations, "translations lost in save and open");
    check(DocumentFile::encode(reread.sources, reread.translations) == file, "saving again changes the file");

    const QByteArray csv = DocumentFile::encodeCsv(items.sources, items.translations);
    check(items.sources.isEmpty() ? csv.isEmpty() : csv.startsWith(utf8Mark), "export mark");
    QStringList first;
    QStringList second;
    check(readCsv(DocumentFile::decode(csv), &first, &second), "export is not two-column CSV");
    check(first == items.sources && second == items.translations, "export cells differ from the items");
}

// Items straight from the input, not from reading: any text, line breaks and blanks included.
void checkRawItems(const QString &text)
{
    const QStringList fields = text.split(QChar(0x1F));
    QStringList sources;
    QStringList translations;
    for (int i = 0; i + 1 < fields.size(); i += 2) {
        sources << fields.at(i);
        translations << fields.at(i + 1);
    }

    QStringList first;
    QStringList second;
    check(readCsv(DocumentFile::decode(DocumentFile::encodeCsv(sources, translations)), &first, &second),
        "export of raw items is not two-column CSV");
    check(first == sources && second == translations, "export cells differ from the raw items");

    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return;
    const DocumentFile::Items reread
        = DocumentFile::parse(DocumentFile::decode(DocumentFile::encode(sources, translations)), false);
    check(reread.sources.size() == sources.size(), "raw items lost in save and open");
    for (int i = 0; i < sources.size(); ++i) {
        check(reread.sources.at(i) == sources.at(i).trimmed()
                && reread.translations.at(i) == translations.at(i).trimmed(),
            "raw item changed in save and open");
    }
}

// read() decodes UTF-8 line by line; it must agree with decoding the whole text first.
void checkFileReading(const QByteArray &bytes, const QString &text)
{
    struct InputFile
    {
        const QString path = QDir::temp().filePath(
            QStringLiteral("fuzz_documentfile-%1.txt").arg(QCoreApplication::applicationPid()));
        ~InputFile() { QFile::remove(path); }
    };
    static const InputFile input;
    const QString &path = input.path;
    QFile file(path);
    check(
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot write the input file");
    file.close();
    for (const bool oneItemPerLine : { false, true }) {
        DocumentFile::Items items;
        QString error;
        check(DocumentFile::read(path, oneItemPerLine, &items, &error), "a regular file could not be read");
        const DocumentFile::Items expected = DocumentFile::parse(text, oneItemPerLine);
        check(items.sources == expected.sources && items.translations == expected.translations,
            "reading the file differs from parsing the decoded text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const QString text = DocumentFile::decode(bytes);
    check(wellFormed(text), "decoded text holds a lone surrogate");
    checkItems(text, false);
    checkItems(text, true);
    checkRawItems(text);
    checkFileReading(bytes, text);

    const QString saveAs = DocumentFile::saveAsName(text);
    check(saveAs.contains(QLatin1String(".txt")), "Save As name without .txt");
    check(text.contains(QLatin1String(".txt")) ? saveAs == text : saveAs == text + QLatin1String(".txt"),
        "Save As name changed more than the suffix");
    const QString proposal = DocumentFile::exportProposal(text);
    check(!proposal.contains(QLatin1String(".txt")), "export proposal still holds .txt");
    check(proposal.size() == text.size() + (text.contains(QLatin1String(".txt")) ? 0 : 4),
        "export proposal length");
    return 0;
}
