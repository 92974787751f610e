#pragma once

#include <memory>

#include <QByteArray>
#include <QTemporaryDir>

class HttpTestServer;
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
    // Answers every translation with 404, so that nothing reaches the built-in
    // server's port; tests that translate point the worker at a server of their own.
    std::unique_ptr<HttpTestServer> translationServer;

    static void resetState();
    // The main window's own title; a maximised document adds " - [name]" to it.
    static QString mainTitle(const QWidget *window);
};
