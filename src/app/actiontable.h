#pragma once

#include <QCoreApplication>
#include <QKeySequence>
#include <QList>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's actions as one table: each row names the action, its
// texts, icon and shortcut, the menu and tool bar it goes into, and what it
// triggers. Texts are written once; retranslate() translates them again.
class ActionTable
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    struct Row
    {
        const char *name;
        const char *text;
        const char *tip;
        const char *icon = nullptr;
        QKeySequence::StandardKey key = QKeySequence::UnknownKey;
        const char *keys = nullptr; // a translated shortcut, where there is no standard one
        const char *menu = nullptr;
        const char *toolBar = nullptr;
        std::function<void()> trigger;
        bool separatorBefore = false;
        bool checkable = false;
    };

    struct Menu
    {
        const char *name;
        const char *title;
        bool separatorBefore = false;
    };

    explicit ActionTable(QMainWindow *window);

    // Creates the menus, then the actions, filling menus and tool bars in the order of the rows.
    void build(const QList<Menu> &menuRows, const QList<Row> &rows);
    void retranslate();

    QAction *action(const char *name) const;
    QMenu *menu(const char *name) const;
    QToolBar *toolBar(const char *name) const;

private:
    struct Entry
    {
        QAction *action;
        const char *text;
    };
    struct Named
    {
        const char *name;
        const char *title;
        QMenu *menu;
    };
    struct Bar
    {
        const char *name;
        QToolBar *bar;
    };

    QMainWindow *window;
    QList<Entry> entries;
    QList<Named> menus;
    QList<Bar> toolBars;
};
