#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The document text file, the comma-separated export and the auto-save copy,
// as bytes and files only: the document window decides what the operator sees.
//
// Reading splits lines at LF, CR LF and a lone CR (files from old Mac editors
// read as lines too) and trims every line. In pairs, every pair up to the end
// is an item, empty ones included; a single empty line left over at the end is
// not an item. One item per line takes every non-empty line.
class DocumentFile
{
    Q_DECLARE_TR_FUNCTIONS(DocumentFile)

public:
    struct Items
    {
        QStringList sources;
        QStringList translations; // as long as sources
    };

    // Larger files are refused rather than read into memory.
    static constexpr qint64 maxFileSize = 256 * 1024 * 1024;

    // UTF-16 by its mark, UTF-8 otherwise. The result never holds a lone surrogate.
    static QString decode(const QByteArray &bytes);
    static Items parse(const QString &text, bool oneItemPerLine);
    static bool read(const QString &fileName, bool oneItemPerLine, Items *items, QString *error);

    static QByteArray encode(const QStringList &sources, const QStringList &translations);
    static QByteArray encodeCsv(const QStringList &sources, const QStringList &translations);
    // Atomic: on failure the previous file is left as it was and error holds the reason.
    static bool write(const QString &fileName, const QByteArray &data, QString *error);
    // Creates the folder when missing; reports nothing.
    static bool writeAutoSave(
        const QString &fileName, const QStringList &sources, const QStringList &translations);

    static QString saveAsName(const QString &chosen);
    static QString exportProposal(const QString &currentFile);
};
