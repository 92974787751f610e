#pragma once

#include <QCoreApplication>
#include <QString>

class QObject;
class QTranslator;

// The interface language: the catalogues in use and the settings file that
// goes with them (Tolvane.ini for Chinese, Tolvaneen.ini for English).
class InterfaceLanguage
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit InterfaceLanguage(QObject *owner);

    // Installs the Chinese catalogues and chooses the settings file of the
    // stored language; returns that language, 0 Chinese or 1 English.
    int startUp();
    // Switches to the language named by lang (a language box entry, or a
    // short code) and remembers it.
    void switchTo(const QString &lang);

private:
    void installCatalogue(const QString &catalogue);

    QObject *owner;
    QTranslator *qtTranslator = nullptr;
    QTranslator *appTranslator = nullptr;
};
