#pragma once

#include <QByteArray>
#include <QTemporaryDir>

class MainWindow;
class QWidget;

// A main window built as the program builds it, over a settings file in a
// temporary program directory. Destroying the fixture destroys the window and
// puts the process-wide state back to its start-up values.
class WindowFixture
{
public:
    explicit WindowFixture(const QByteArray &ini = QByteArray(), const QByteArray &englishIni = QByteArray());
    ~WindowFixture();

    QString path(const QString &name) const { return dir.filePath(name); }
    MainWindow *window = nullptr;
    QTemporaryDir dir;

    static void resetState();
    // The main window's own title; a maximised document adds " - [name]" to it.
    static QString mainTitle(const QWidget *window);
};
