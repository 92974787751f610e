#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Starts the program again, with this process's arguments, once the main window
// has closed after "Yes, restart". Tests replace the launch so that nothing is
// spawned.
class Relauncher
{
public:
    using Launch = std::function<bool(const QString &program, const QStringList &arguments)>;

    Relauncher();
    void setLaunch(Launch launch);

    void request() { requested = true; }
    void withdraw() { requested = false; }
    bool isRequested() const { return requested; }
    // Launches at most once per request.
    bool launchIfRequested();

private:
    Launch launch;
    bool requested = false;
};
