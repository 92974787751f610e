#pragma once

#include <QByteArray>
#include <QObject>

class MainWindow;
class QSocketNotifier;

// Test-only: lets a test drive the program started as a child process, without
// a display, through lines on its standard input. main() attaches it only when
// TOLVANE_TEST_CONTROL is set. Commands:
//   record | stop | new      trigger the main window's action
//   accept                   accept the next modal dialog (waits for it)
//   dump <path>              write the open documents as JSON to path
class TestControl : public QObject
{
    Q_OBJECT

public:
    explicit TestControl(MainWindow *window);

private:
    void readInput();
    void run(const QByteArray &command);
    void acceptModal(int triesLeft);
    void dump(const QString &path) const;

    MainWindow *window;
    QSocketNotifier *notifier;
    QByteArray pending;
};
