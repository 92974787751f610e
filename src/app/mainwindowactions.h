#pragma once

#include "app/actiontable.h"

class MainWindow;

// The main window's menus, and its actions with where they go and what they trigger.
QList<ActionTable::Menu> mainWindowMenus();
QList<ActionTable::Row> mainWindowActions(MainWindow *window);
