#pragma once

#include <QCoreApplication>
#include <functional>

class QAction;
class QMdiArea;
class QMenu;

// The Window menu: the window commands, then one checkable entry per open
// document, made afresh each time the menu is about to show.
class WindowMenu
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // action finds the main window's actions by name.
    WindowMenu(QMenu *menu, QMdiArea *area, std::function<QAction *(const char *)> action);

    void update();

private:
    QMenu *menu;
    QMdiArea *area;
    std::function<QAction *(const char *)> action;
};
