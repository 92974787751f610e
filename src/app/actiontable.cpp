#include "actiontable.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {
const QSize toolBarIconSize(48, 48);
}

ActionTable::ActionTable(QMainWindow *window)
    : window(window)
{ }

void ActionTable::build(const QList<Menu> &menuRows, const QList<Row> &rows)
{
    for (const Menu &row : menuRows) {
        if (row.separatorBefore)
            window->menuBar()->addSeparator();
        QMenu *created = window->menuBar()->addMenu(tr(row.title));
        created->setObjectName(QLatin1String(row.name));
        menus.append({ row.name, row.title, created });
    }
    for (const Row &row : rows) {
        auto *action = row.icon ? new QAction(QIcon(QLatin1String(row.icon)), tr(row.text), window)
                                : new QAction(tr(row.text), window);
        action->setObjectName(QLatin1String(row.name));
        action->setStatusTip(tr(row.tip));
        action->setCheckable(row.checkable);
        if (row.key != QKeySequence::UnknownKey)
            action->setShortcuts(row.key);
        else if (row.keys)
            action->setShortcut(QKeySequence(tr(row.keys)));
        if (row.trigger)
            QObject::connect(action, &QAction::triggered, window, row.trigger);
        entries.append({ action, row.text });

        if (row.menu) {
            if (QMenu *target = menu(row.menu)) {
                if (row.separatorBefore)
                    target->addSeparator();
                target->addAction(action);
            }
        }
        if (row.toolBar) {
            QToolBar *target = toolBar(row.toolBar);
            if (!target) {
                target = window->addToolBar(tr(row.toolBar));
                target->setObjectName(QLatin1String(row.toolBar) + QLatin1String("ToolBar"));
                target->setIconSize(toolBarIconSize);
                toolBars.append({ row.toolBar, target });
            } else if (row.separatorBefore && !row.menu) {
                target->addSeparator();
            }
            target->addAction(action);
        }
    }
}

void ActionTable::retranslate()
{
    // Tips and shortcuts keep the language they were made in, as they always have.
    for (const Named &named : menus)
        named.menu->setTitle(tr(named.title));
    for (const Entry &entry : entries)
        entry.action->setText(tr(entry.text));
}

QAction *ActionTable::action(const char *name) const
{
    for (const Entry &entry : entries) {
        if (entry.action->objectName() == QLatin1String(name))
            return entry.action;
    }
    return nullptr;
}

QMenu *ActionTable::menu(const char *name) const
{
    for (const Named &named : menus) {
        if (qstrcmp(named.name, name) == 0)
            return named.menu;
    }
    return nullptr;
}

QToolBar *ActionTable::toolBar(const char *name) const
{
    for (const Bar &named : toolBars) {
        if (qstrcmp(named.name, name) == 0)
            return named.bar;
    }
    return nullptr;
}
