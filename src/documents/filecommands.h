#pragma once

#include <QCoreApplication>
#include <functional>

class MdiChild;
class QMdiArea;
class QMdiSubWindow;
class QStatusBar;

// The File menu's commands on the document area: open, the three ways to
// save the active document, and the auto-save copy.
class FileCommands
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    FileCommands(QMdiArea *area, QStatusBar *statusBar, std::function<MdiChild *()> newDocument);

    // The window already showing that file, if any.
    QMdiSubWindow *find(const QString &fileName) const;
    // The document opened, or null when none was (cancelled, already open, unreadable).
    MdiChild *open();
    void save();
    void saveAs();
    void saveAsTabFile();
    void autoSave();

private:
    MdiChild *active() const;
    void saved(bool done);

    QMdiArea *area;
    QStatusBar *statusBar;
    std::function<MdiChild *()> newDocument;
};
