#include "settingscommands.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/showeditdialog.h"
#include "translation/networkdialog.h"
#include "translation/plcthread.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"
#include "widgets/qmymessagebox.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>

namespace {
const int AutoSaveMinutesMin = 1;
const int AutoSaveMinutesMax = 30;
}

SettingsCommands::SettingsCommands(
    MainWindow *window, PlcThread &worker, QTimer *autoSaveTimer, QLabel *directionLabel)
    : window(window)
    , worker(worker)
    , autoSaveTimer(autoSaveTimer)
    , directionLabel(directionLabel)
{ }

int SettingsCommands::autoSaveMinutes()
{
    return qBound(AutoSaveMinutesMin, Settings::readInt(SettingsKeys::AutoSave, QStringLiteral("1")),
        AutoSaveMinutesMax);
}

void SettingsCommands::applyLanguageFonts()
{
    QFont chinese;
    chinese.fromString(Settings::readString(Settings::fontKey(0).toLatin1().constData(), QStringLiteral("SimSun")));
    QFont uyghur;
    uyghur.fromString(Settings::readString(Settings::fontKey(1).toLatin1().constData(), QStringLiteral("SimSun")));
    const int taller = qMax(QFontMetrics(chinese).height(), QFontMetrics(uyghur).height());

    const bool uyghurSpoken = AppState::recognitionLanguage != 0;
    directionLabel->setText(uyghurSpoken ? tr("LangWW") : tr("LangCN"));

    if (MdiChild *child = window->activeMdiChild())
        child->applyFonts(
            uyghurSpoken ? uyghur : chinese, uyghurSpoken ? chinese : uyghur, uyghurSpoken, taller + 10);
}

void SettingsCommands::chooseFont(int language)
{
    const QByteArray key = Settings::fontKey(language).toLatin1();
    QFont initial;
    initial.fromString(Settings::readString(key.constData(), QStringLiteral("simsun")));
    bool ok = false;
    const QFont chosen
        = QFontDialog::getFont(&ok, initial, window, language == 0 ? tr("Select Font") : tr("Select WW Font"));
    if (!ok)
        return;
    // Stored as a font key: the description in lower case. QFont::key() no longer
    // lower-cases it, so settings written by earlier versions would not match.
    Settings::write(key.constData(), chosen.toString().toLower());
    applyLanguageFonts();
}

void SettingsCommands::chooseColour()
{
    QColorOption option(0, window);
    if (option.exec() != QDialog::Accepted)
        return;
    const int choice = option.choice();
    if (choice == 2) {
        AppState::listBackgroundColor = AppState::DefaultListBackgroundColor;
        AppState::listSelectionColor = AppState::DefaultListSelectionColor;
        Settings::write(SettingsKeys::ListBackColor, QLatin1String(SettingsKeys::DefaultListBackColor));
        Settings::write(SettingsKeys::ListSelColor, QLatin1String(SettingsKeys::DefaultListSelColor));
        return;
    }
    const char *key = choice == 0 ? SettingsKeys::ListBackColor : SettingsKeys::ListSelColor;
    const char *fallback = choice == 0 ? SettingsKeys::DefaultListBackColor : SettingsKeys::DefaultListSelColor;
    const QColor chosen
        = QColorDialog::getColor(QColor::fromRgba(Settings::readColor(key, QLatin1String(fallback))));
    if (!chosen.isValid())
        return;
    const quint32 argb = chosen.rgba() | 0xFF000000u;
    Settings::write(key, QString::number(argb));
    (choice == 0 ? AppState::listBackgroundColor : AppState::listSelectionColor) = argb;
    if (MdiChild *child = window->activeMdiChild()) {
        child->sourceView->viewport()->update();
        child->translationView->viewport()->update();
    }
}

void SettingsCommands::chooseAutoSave()
{
    bool ok = false;
    const int minutes = QInputDialog::getInt(window, tr("Auto Save Setting"), tr("Set Auto Save Time(Minute)"),
        autoSaveMinutes(), AutoSaveMinutesMin, AutoSaveMinutesMax, 1, &ok);
    if (!ok)
        return;
    Settings::write(SettingsKeys::AutoSave, minutes);
    autoSaveTimer->stop();
    autoSaveTimer->start(minutes * 60000);
}

void SettingsCommands::choosePauseMark()
{
    QLoginDialog dialog(Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0")), window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings::write(SettingsKeys::PauseMark, dialog.mark());
    AppState::pauseMarkChoice = dialog.mark();
}

void SettingsCommands::chooseDisplay()
{
    // The dialog opens on the stored choice; what is on screen changes only on
    // OK. (The two interface languages keep separate settings files, so the
    // stored choice can differ from the one in effect.)
    ShowEditDialog dialog(Settings::readInt(SettingsKeys::EditStyle, QStringLiteral("0")),
        Settings::readInt(SettingsKeys::TextMode, QStringLiteral("1")), window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings::write(SettingsKeys::EditStyle, dialog.editStyle());
    Settings::write(SettingsKeys::TextMode, dialog.textMode());
    if (dialog.editStyle() != AppState::editOrientation) {
        AppState::editOrientation = dialog.editStyle();
        window->applyOrientation();
    }
    if (dialog.textMode() != AppState::textMode) {
        AppState::textMode = dialog.textMode();
        window->rebuildContinuousTexts();
        window->ChangeTitle();
        window->updateMenus();
    }
}

void SettingsCommands::chooseServers()
{
    if (AppState::RecordState == AppState::Recording)
        return;
    const QString voice = Settings::readString(SettingsKeys::VoiceHost, QString());
    const QString ww = Settings::readString(SettingsKeys::TranslateHostWW, QString());
    const QString cn = Settings::readString(SettingsKeys::TranslateHostCN, QString());
    NetworkDialog dialog(voice, ww, cn, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    worker.setHosts(AppState::translateHostWW, AppState::translateHostCN);
    Settings::write(SettingsKeys::TranslateHostWW, AppState::translateHostWW);
    Settings::write(SettingsKeys::TranslateHostCN, AppState::translateHostCN);
    if (AppState::voiceHost == voice)
        return;
    Settings::write(SettingsKeys::VoiceHost, AppState::voiceHost);
    if (QMyMessageBox::question(
            nullptr, tr("Application"), tr("Do you want to restart to take effect?"), tr("Yes"), tr("No"))) {
        // Through the normal closing, so that every modified document is offered for saving.
        window->restarter().request();
        window->close();
    }
}
