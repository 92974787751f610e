#include "recoveryjournal.h"

#include "documents/itemcolumnmodel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>

namespace {
const QString Magic = QStringLiteral("tolvane-recovery");
const QString Op = QStringLiteral("op");
const QString Row = QStringLiteral("row");
const QString Id = QStringLiteral("id");
const QString Source = QStringLiteral("s");
const QString Translation = QStringLiteral("t");
const QString Translated = QStringLiteral("h");
const QString Insert = QStringLiteral("ins");
const QString Delete = QStringLiteral("del");

// One line: JSON escapes every control character, so a text never breaks it.
QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// The same escaping done by hand: QJsonObject costs several microseconds a line,
// which a whole-file write of a long document multiplies.
void appendString(QByteArray &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    const char *run = utf8.constData();
    const char *end = run + utf8.size();
    for (const char *c = run; c != end; ++c) {
        const uchar u = uchar(*c);
        if (u != '"' && u != '\\' && u >= 0x20)
            continue;
        out.append(run, int(c - run));
        run = c + 1;
        if (u < 0x20) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += '\\';
            out += char(u);
        }
    }
    out.append(run, int(end - run));
    out += '"';
}

void appendItemLine(QByteArray &out, const DocumentModel::Item &item, int row)
{
    out += row < 0 ? "{\"op\":\"set\"" : "{\"op\":\"ins\",\"row\":";
    if (row >= 0)
        out += QByteArray::number(row);
    out += ",\"id\":";
    out += QByteArray::number(item.id);
    out += ",\"s\":";
    appendString(out, item.source);
    out += ",\"t\":";
    appendString(out, item.translation);
    out += item.hasTranslation ? ",\"h\":true}\n" : ",\"h\":false}\n";
}

// The items in order; the row of an id is looked up lazily, since inserts and
// deletes in the middle move the rows after them.
class Replay
{
public:
    QVector<DocumentModel::Item> items;

    void apply(const QJsonObject &object)
    {
        const QString op = object.value(Op).toString();
        const quint64 id = quint64(object.value(Id).toDouble());
        const int row = rowOf(id);
        if (op == Delete) {
            if (row >= 0) {
                items.removeAt(row);
                stale = true;
            }
            return;
        }
        DocumentModel::Item item;
        item.id = id;
        item.source = object.value(Source).toString();
        item.translation = object.value(Translation).toString();
        item.hasTranslation = object.value(Translated).toBool();
        if (row >= 0) {
            items[row] = item;
        } else if (op == Insert) {
            const int at = qBound(0, object.value(Row).toInt(items.size()), items.size());
            items.insert(at, item);
            if (at == items.size() - 1 && !stale)
                rows.insert(id, at);
            else
                stale = true;
        }
    }

private:
    int rowOf(quint64 id)
    {
        if (stale) {
            rows.clear();
            for (int row = 0; row < items.size(); ++row)
                rows.insert(items.at(row).id, row);
            stale = false;
        }
        return rows.value(id, -1);
    }

    QHash<quint64, int> rows;
    bool stale = false;
};
}

RecoveryJournal::RecoveryJournal(DocumentModel *document, const QString &path,
    std::function<QString()> fileName, std::function<QString()> title)
    : QObject(document)
    , document(document)
    , filePath(path)
    , fileName(std::move(fileName))
    , title(std::move(title))
{
    ItemColumnModel *sources = document->sourceColumn();
    ItemColumnModel *translations = document->translationColumn();
    connect(document, &DocumentModel::modifiedChanged, this, &RecoveryJournal::modifiedChanged);
    connect(sources, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex &, int first, int last) { writeItems(first, last, true); });
    // Ids are read before the rows go.
    connect(sources, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex &, int first, int last) { writeRemoved(first, last); });
    connect(sources, &QAbstractItemModel::modelReset, this, [this] {
        if (isActive())
            compact();
    });
    // A row joining the translation column has its first translation; the
    // source column's insert may still follow, and then carries it too.
    for (ItemColumnModel *column : { sources, translations }) {
        connect(column, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                writeItems(topLeft.row(), bottomRight.row(), false);
            });
    }
    connect(translations, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex &, int first, int last) { writeItems(first, last, false); });
    if (document->isModified())
        start();
}

// Only an orderly end gets here: the document was saved, its changes were
// discarded, or the program closed. After a crash the file stays.
RecoveryJournal::~RecoveryJournal() { stop(); }

void RecoveryJournal::modifiedChanged(bool modified)
{
    if (modified)
        start();
    else
        stop();
}

void RecoveryJournal::start()
{
    if (isActive())
        return;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    lock = std::make_unique<QLockFile>(lockPath(filePath));
    // Only a dead owner makes a lock stale, however long the program runs.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        qWarning("RecoveryJournal: cannot lock %s", qPrintable(filePath));
    compact();
}

void RecoveryJournal::stop()
{
    file.close();
    QFile::remove(filePath);
    if (lock)
        lock->unlock();
    lock.reset();
    changes = 0;
}

void RecoveryJournal::compact()
{
    file.close();
    QSaveFile whole(filePath);
    if (!whole.open(QIODevice::WriteOnly)) {
        qWarning("RecoveryJournal: cannot write %s", qPrintable(filePath));
        return;
    }
    QByteArray data
        = line({ { Magic, 1 }, { QStringLiteral("file"), fileName() }, { QStringLiteral("title"), title() },
            { QStringLiteral("pid"), QCoreApplication::applicationPid() } });
    for (int row = 0; row < document->count(); ++row)
        appendItemLine(data, document->at(row), row);
    whole.write(data);
    if (!whole.commit()) {
        qWarning("RecoveryJournal: cannot write %s", qPrintable(filePath));
        return;
    }
    changes = 0;
    gap = false;
    // The old handle named the file QSaveFile has just replaced.
    file.setFileName(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        qWarning("RecoveryJournal: cannot append to %s", qPrintable(filePath));
}

void RecoveryJournal::writeItems(int first, int last, bool inserted)
{
    if (!isActive())
        return;
    last = qMin(last, document->count() - 1);
    QByteArray lines;
    for (int row = first; row <= last; ++row)
        appendItemLine(lines, document->at(row), inserted ? row : -1);
    append(lines, last - first + 1);
}

void RecoveryJournal::writeRemoved(int first, int last)
{
    if (!isActive())
        return;
    QByteArray lines;
    for (int row = first; row <= last; ++row)
        lines += "{\"op\":\"del\",\"id\":" + QByteArray::number(document->at(row).id) + "}\n";
    append(lines, last - first + 1);
}

void RecoveryJournal::append(const QByteArray &lines, int count)
{
    if (lines.isEmpty())
        return;
    // Written whole before the change's lines, never after: a row about to be
    // removed is still in the document, and its delete must follow it.
    if (gap || changes > qMax(compactionFloor, 2 * document->count()))
        compact();
    changes += count;
    // A failed write leaves a gap in the journal: the next change writes it whole.
    gap = file.write(lines) != lines.size();
}

RecoveryJournal::Contents RecoveryJournal::read(const QString &path)
{
    Contents contents;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return contents;
    Replay replay;
    const QList<QByteArray> lines = in.readAll().split('\n');
    for (const QByteArray &text : lines) {
        if (text.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(text).object();
        if (object.isEmpty()) {
            ++contents.skippedLines; // a line torn by the crash
            continue;
        }
        if (!contents.valid) {
            if (object.value(Magic).toInt() != 1)
                return contents;
            contents.valid = true;
            contents.fileName = object.value(QStringLiteral("file")).toString();
            contents.title = object.value(QStringLiteral("title")).toString();
            continue;
        }
        replay.apply(object);
    }
    contents.items = replay.items;
    return contents;
}
