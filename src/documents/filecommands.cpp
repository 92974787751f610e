#include "filecommands.h"

#include "app/appstate.h"
#include "app/settings.h"
#include "documents/documentfile.h"
#include "documents/mdichild.h"
#include "widgets/qmymessagebox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

FileCommands::FileCommands(QMdiArea *area, QStatusBar *statusBar, std::function<MdiChild *()> newDocument)
    : area(area)
    , statusBar(statusBar)
    , newDocument(std::move(newDocument))
{ }

MdiChild *FileCommands::active() const
{
    QMdiSubWindow *window = area->activeSubWindow();
    return window ? qobject_cast<MdiChild *>(window->widget()) : nullptr;
}

QMdiSubWindow *FileCommands::find(const QString &fileName) const
{
    const QString canonicalFilePath = QFileInfo(fileName).canonicalFilePath();
    if (canonicalFilePath.isEmpty())
        return nullptr;
    const auto windows = area->subWindowList();
    for (QMdiSubWindow *window : windows) {
        auto *child = qobject_cast<MdiChild *>(window->widget());
        // Documents keep the name they were opened with, and a linked folder gives a file
        // a second name; untitled names are relative and name no file.
        const QFileInfo current(child ? child->currentFile() : QString());
        if (child && current.isAbsolute() && current.canonicalFilePath() == canonicalFilePath)
            return window;
    }
    return nullptr;
}

MdiChild *FileCommands::open()
{
    const QString fileName
        = QFileDialog::getOpenFileName(area->window(), QString(), AppState::backupDir, tr("*.txt"));
    if (fileName.isEmpty())
        return nullptr;
    AppState::backupDir = QFileInfo(fileName).absolutePath();
    Settings::write(SettingsKeys::BackupDir, AppState::backupDir);
    if (QMdiSubWindow *existing = find(fileName)) {
        area->setActiveSubWindow(existing);
        return nullptr;
    }

    const bool withTranslations = QMyMessageBox::question(
        area->window(), tr("Application"), tr("Include translation text?"), tr("Yes"), tr("No"));
    MdiChild *child = newDocument();
    if (!child->loadFile(fileName, !withTranslations)) {
        // An unnamed, empty window that cannot be saved helps nobody.
        if (auto *window = qobject_cast<QMdiSubWindow *>(child->parentWidget()))
            window->close();
        return nullptr;
    }
    child->show();
    statusBar->showMessage(tr("File loaded"), 2000);
    return child;
}

void FileCommands::saved(bool done)
{
    if (done)
        statusBar->showMessage(tr("File saved"), 2000);
}

void FileCommands::save()
{
    if (MdiChild *child = active())
        saved(child->save());
}

void FileCommands::saveAs()
{
    MdiChild *child = active();
    QString chosenName;
    if (!child || !child->saveAs(chosenName))
        return;
    saved(true);
    AppState::backupDir = QFileInfo(chosenName).absolutePath();
    Settings::write(SettingsKeys::BackupDir, AppState::backupDir);
}

void FileCommands::saveAsTabFile()
{
    QString chosenName;
    if (MdiChild *child = active())
        saved(child->saveAsTabFile(chosenName));
}

void FileCommands::autoSave()
{
    MdiChild *child = active();
    if (!child || child->model()->count() == 0)
        return;
    DocumentFile::writeAutoSave(
        Settings::writableDir() + QStringLiteral("/file/tempfile.txt"), child->sources(), child->translations());
}
