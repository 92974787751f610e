#pragma once

#include "documents/documentmodel.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QLockFile;

// Keeps one document's items in a recovery file of its own while the document
// has unsaved changes, so that they outlive a crash. The file holds UTF-8 JSON
// lines: a header, the items as they were when it was last written whole, then
// one line per change (insert at a row, new texts of an item, delete, by item
// id), appended with one unbuffered write each. Once the changes outnumber the
// items the file is written whole again through QSaveFile. A lock file beside
// it tells other instances that a running program owns it. File and lock go
// when the document is saved or closes.
class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    struct Contents
    {
        bool valid = false; // a header was found
        QString fileName; // empty: the document was untitled
        QString title; // the name the document showed
        QVector<DocumentModel::Item> items;
        int skippedLines = 0; // torn or unreadable lines
    };

    // fileName gives the document's file name (empty while untitled), title the name it shows.
    RecoveryJournal(DocumentModel *document, const QString &path, std::function<QString()> fileName,
        std::function<QString()> title);
    ~RecoveryJournal() override;

    QString path() const { return filePath; }
    bool isActive() const { return file.isOpen(); }
    int changesSinceCompaction() const { return changes; }
    // The file is written whole after max(floor, 2 x items) changes.
    void setCompactionFloor(int lines) { compactionFloor = lines; }
    void compact();

    static Contents read(const QString &path);
    static QString lockPath(const QString &path) { return path + QStringLiteral(".lock"); }

private:
    void modifiedChanged(bool modified);
    void start();
    void stop();
    void writeItems(int first, int last, bool inserted);
    void writeRemoved(int first, int last);
    void append(const QByteArray &lines, int count);

    DocumentModel *document;
    QString filePath;
    std::function<QString()> fileName;
    std::function<QString()> title;
    QFile file;
    std::unique_ptr<QLockFile> lock;
    int changes = 0;
    bool gap = false;
    int compactionFloor = 1000;
};
