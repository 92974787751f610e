#include "interfacelanguage.h"

#include "app/appstate.h"
#include "app/settings.h"

#include <QTranslator>

InterfaceLanguage::InterfaceLanguage(QObject *owner)
    : owner(owner)
{ }

int InterfaceLanguage::startUp()
{
    AppState::settingsPath = Settings::mainPath();
    qtTranslator = new QTranslator(owner);
    if (qtTranslator->load(QStringLiteral("qt_zh_CN.qm"), QStringLiteral(":/lang")))
        QCoreApplication::installTranslator(qtTranslator);
    installCatalogue(QStringLiteral("Tolvane_cn.qm"));

    const int language = Settings::readInt(SettingsKeys::UiLang, QStringLiteral("0"), Settings::mainPath());
    if (language == 1)
        AppState::settingsPath = Settings::englishPath();
    return language;
}

void InterfaceLanguage::switchTo(const QString &lang)
{
    const bool chinese = lang.size() <= 2 || lang == tr("Chinese") || lang == QLatin1String("Chinese");
    installCatalogue(chinese ? QStringLiteral("Tolvane_cn.qm") : QStringLiteral("Tolvane_en.qm"));
    AppState::settingsPath = Settings::mainPath();
    Settings::write(SettingsKeys::UiLang, chinese ? QStringLiteral("0") : QStringLiteral("1"));
    if (!chinese)
        AppState::settingsPath = Settings::englishPath();
}

void InterfaceLanguage::installCatalogue(const QString &catalogue)
{
    if (appTranslator) {
        QCoreApplication::removeTranslator(appTranslator);
        delete appTranslator;
    }
    appTranslator = new QTranslator(owner);
    if (appTranslator->load(catalogue, QStringLiteral(":/lang")))
        QCoreApplication::installTranslator(appTranslator);
}
