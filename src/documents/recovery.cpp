#include "recovery.h"

#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/recoverydialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <algorithm>

namespace {
const QString Suffix = QStringLiteral(".jsonl");

std::shared_ptr<QLockFile> lockOf(const QString &path)
{
    auto lock = std::make_shared<QLockFile>(RecoveryJournal::lockPath(path));
    lock->setStaleLockTime(0);
    return lock;
}
}

Recovery::Recovery(const QString &dir)
    : folder(dir.isEmpty() ? Settings::writableDir() + QStringLiteral("/recovery") : dir)
{ }

RecoveryJournal *Recovery::watch(MdiChild *child) const
{
    // Unique across runs and instances: a file left by a crash is never taken over by name.
    const QString name
        = QStringLiteral("%1-%2-%3")
              .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")))
              .arg(QCoreApplication::applicationPid())
              .arg(child->documentId());
    return new RecoveryJournal(
        child->model(), folder + QLatin1Char('/') + name + Suffix,
        [child] { return child->hasFileName() ? child->currentFile() : QString(); },
        [child] { return child->userFriendlyCurrentFile(); });
}

std::vector<Recovery::Orphan> Recovery::orphans() const
{
    std::vector<Orphan> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({ QLatin1Char('*') + Suffix }, QDir::Files)) {
        Orphan orphan;
        orphan.path = dir.filePath(name);
        orphan.lock = lockOf(orphan.path);
        // A program that still runs holds the lock.
        if (!orphan.lock->tryLock(0))
            continue;
        orphan.time = QFileInfo(orphan.path).lastModified();
        orphan.contents = RecoveryJournal::read(orphan.path);
        if (orphan.contents.valid)
            found.push_back(orphan);
        else
            discard(orphan); // no header: nothing in it can be restored
    }
    // Locks whose journal went away with its owner.
    for (const QString &name :
        dir.entryList({ QLatin1Char('*') + Suffix + QStringLiteral(".lock") }, QDir::Files)) {
        const QString path = dir.filePath(name.chopped(5));
        if (!QFileInfo::exists(path) && lockOf(path)->tryLock(0))
            QFile::remove(dir.filePath(name));
    }
    std::sort(found.begin(), found.end(), [](const Orphan &a, const Orphan &b) { return a.time < b.time; });
    return found;
}

int Recovery::offer(QWidget *parent, const std::function<MdiChild *()> &create) const
{
    const std::vector<Orphan> found = orphans();
    if (found.empty())
        return 0;
    QList<RecoveryDialog::Row> rows;
    for (const Orphan &orphan : found) {
        const QString &file = orphan.contents.fileName;
        rows.append({ file.isEmpty() ? orphan.contents.title : QDir::toNativeSeparators(file), orphan.time,
            int(orphan.contents.items.size()) });
    }
    RecoveryDialog dialog(rows, parent);
    const int answer = dialog.exec();
    int restored = 0;
    for (const Orphan &orphan : found) {
        if (answer == RecoveryDialog::Restore) {
            restore(orphan, create());
            ++restored;
        } else if (answer == RecoveryDialog::Discard) {
            discard(orphan);
        }
    }
    return restored;
}

void Recovery::restore(const Orphan &orphan, MdiChild *child)
{
    // The document's own journal is written before the old file goes.
    child->restore(orphan.contents.fileName, orphan.contents.items);
    discard(orphan);
}

void Recovery::discard(const Orphan &orphan) { QFile::remove(orphan.path); }
