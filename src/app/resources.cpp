#include "resources.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

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

    // The settings name "SimSun", which Linux lacks: let fonts that cover
    // Chinese and Uyghur stand in for it instead of whatever fallback comes first.
    if (!QFontDatabase().families().contains(QStringLiteral("SimSun"), Qt::CaseInsensitive)) {
        const QStringList standIns { QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans"),
                                     QStringLiteral("UKIJ Ekran") };
        QFont::insertSubstitutions(QStringLiteral("SimSun"), standIns);
        QFont::insertSubstitutions(QStringLiteral("simsun"), standIns);
    }
}
