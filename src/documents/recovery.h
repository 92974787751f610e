#pragma once

#include "documents/recoveryjournal.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class MdiChild;
class QLockFile;
class QWidget;

// The recovery files of all documents, in <writable dir>/recovery: a journal
// for every document while it has unsaved changes, and at start-up the offer
// to restore what a crashed program left there.
class Recovery
{
public:
    // A recovery file no running program owns; its lock is held while the object lives.
    struct Orphan
    {
        QString path;
        QDateTime time; // of the last change
        RecoveryJournal::Contents contents;
        std::shared_ptr<QLockFile> lock;
    };

    // dir empty: <Settings::writableDir()>/recovery.
    explicit Recovery(const QString &dir = QString());

    QString dir() const { return folder; }
    // Keeps child's document in a recovery file of its own while it has unsaved changes.
    RecoveryJournal *watch(MdiChild *child) const;
    // The files left by programs that no longer run, oldest first.
    std::vector<Orphan> orphans() const;
    // Asks whether to restore the orphans, then restores each into a document
    // made by create, or deletes them; closing the dialog keeps them for the
    // next start. Returns the number restored.
    int offer(QWidget *parent, const std::function<MdiChild *()> &create) const;

    static void restore(const Orphan &orphan, MdiChild *child);
    static void discard(const Orphan &orphan);

private:
    QString folder;
};
