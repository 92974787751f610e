#include "windowmenu.h"

#include "documents/mdichild.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

WindowMenu::WindowMenu(QMenu *menu, QMdiArea *area, std::function<QAction *(const char *)> action)
    : menu(menu)
    , area(area)
    , action(std::move(action))
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { update(); });
}

void WindowMenu::update()
{
    menu->clear();
    for (const char *name : { "closeAct", "closeAllAct", "", "tileAct", "cascadeAct", "", "nextAct",
             "previousAct", "separatorAct" }) {
        if (*name)
            menu->addAction(action(name));
        else
            menu->addSeparator();
    }
    const QList<QMdiSubWindow *> windows = area->subWindowList();
    action("separatorAct")->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        auto *child = qobject_cast<MdiChild *>(windows.at(i)->widget());
        if (!child)
            continue;
        const QString text = i < 9 ? tr("&%1 %2").arg(i + 1).arg(child->userFriendlyCurrentFile())
                                   : tr("%1 %2").arg(i + 1).arg(child->userFriendlyCurrentFile());
        QAction *entry = menu->addAction(text);
        entry->setCheckable(true);
        entry->setChecked(windows.at(i) == area->activeSubWindow());
        // The entry goes with the next clear(); the window may go before it.
        QPointer<QMdiSubWindow> window = windows.at(i);
        QObject::connect(entry, &QAction::triggered, area, [area = area, window] {
            if (window)
                area->setActiveSubWindow(window);
        });
    }
}
