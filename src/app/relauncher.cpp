#include "relauncher.h"

#include <QCoreApplication>
#include <QProcess>

Relauncher::Relauncher()
    : launch([](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    })
{ }

void Relauncher::setLaunch(Launch launch) { this->launch = std::move(launch); }

bool Relauncher::launchIfRequested()
{
    if (!requested)
        return false;
    requested = false;
    return launch(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
}
