#include "resources.h"

#include <QApplication>
#include <QDir>

void initResources()
{
    Q_INIT_RESOURCE(tolvane);
    Q_INIT_RESOURCE(lang);
}

void configureApplication(QApplication &app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("merovaal.example"));
    QCoreApplication::addLibraryPath(QStringLiteral("./plugins"));
    QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
    app.setStyleSheet(QStringLiteral("QGroupBox {  border: 1px solid blue;}"));
}
