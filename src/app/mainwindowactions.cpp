#include "mainwindowactions.h"

#include "app/mainwindow.h"
#include "documents/mdichild.h"
#include "translation/translationrouter.h"

#include <QMdiArea>

QList<ActionTable::Menu> mainWindowMenus()
{
    return { { "fileMenu", QT_TRANSLATE_NOOP("MainWindow", "&File") }, { "editMenu", QT_TRANSLATE_NOOP("MainWindow", "&Edit") },
                       { "actionMenu", QT_TRANSLATE_NOOP("MainWindow", "&Action") },
                       { "translationMenu", QT_TRANSLATE_NOOP("MainWindow", "&Translation") },
                       { "langMenu", QT_TRANSLATE_NOOP("MainWindow", "&Lang") },
                       { "settingMenu", QT_TRANSLATE_NOOP("MainWindow", "&Setting") }, { "windowMenu", QT_TRANSLATE_NOOP("MainWindow", "&Window") },
                       { "helpMenu", QT_TRANSLATE_NOOP("MainWindow", "&Help"), true } };
}

// Texts keep the main window's catalogue context.
QList<ActionTable::Row> mainWindowActions(MainWindow *window)
{
    auto slot = [window](void (MainWindow::*method)()) { return [window, method] { (window->*method)(); }; };
    QMdiArea *documents = window->documentArea();
    auto area = [documents](void (QMdiArea::*method)()) { return [documents, method] { (documents->*method)(); }; };
    return {
        { "newAct", QT_TRANSLATE_NOOP("MainWindow", "&New"), QT_TRANSLATE_NOOP("MainWindow", "Create a new file"), ":/images/New.png", QKeySequence::New,
            nullptr, "fileMenu", "File", slot(&MainWindow::newFile) },
        { "openAct", QT_TRANSLATE_NOOP("MainWindow", "&Open..."), QT_TRANSLATE_NOOP("MainWindow", "Open an existing file"), ":/images/Open.png",
            QKeySequence::Open, nullptr, "fileMenu", "File", slot(&MainWindow::open) },
        { "saveAct", QT_TRANSLATE_NOOP("MainWindow", "&Save"), QT_TRANSLATE_NOOP("MainWindow", "Save the document to disk"), ":/images/Save.png",
            QKeySequence::Save, nullptr, "fileMenu", "File", slot(&MainWindow::save) },
        { "saveAsAct", QT_TRANSLATE_NOOP("MainWindow", "Save &As..."), QT_TRANSLATE_NOOP("MainWindow", "Save the document under a new name"), nullptr,
            QKeySequence::SaveAs, nullptr, "fileMenu", nullptr, slot(&MainWindow::saveAs) },
        { "saveAsTabAct", QT_TRANSLATE_NOOP("MainWindow", "Save As Excel..."), QT_TRANSLATE_NOOP("MainWindow", "Save the document to excel file"), nullptr,
            QKeySequence::UnknownKey, nullptr, "fileMenu", nullptr, slot(&MainWindow::saveAsTabFile) },
        { "exitAct", QT_TRANSLATE_NOOP("MainWindow", "E&xit"), QT_TRANSLATE_NOOP("MainWindow", "Exit the application"), nullptr, QKeySequence::Quit,
            nullptr, "fileMenu", nullptr, [window] { window->close(); }, true },
        { "cutAct", QT_TRANSLATE_NOOP("MainWindow", "Cu&t"), QT_TRANSLATE_NOOP("MainWindow", "Cut the current selection's contents to the clipboard"),
            ":/images/cut.png", QKeySequence::Cut, nullptr, "editMenu", nullptr, slot(&MainWindow::cut) },
        { "copyAct", QT_TRANSLATE_NOOP("MainWindow", "&Copy"), QT_TRANSLATE_NOOP("MainWindow", "Copy the current selection's contents to the clipboard"),
            ":/images/copy.png", QKeySequence::Copy, nullptr, "editMenu", nullptr, slot(&MainWindow::copy) },
        { "pasteAct", QT_TRANSLATE_NOOP("MainWindow", "&Paste"),
            QT_TRANSLATE_NOOP("MainWindow", "Paste the clipboard's contents into the current selection"), ":/images/paste.png",
            QKeySequence::Paste, nullptr, "editMenu", nullptr, slot(&MainWindow::paste) },
        { "runAct", QT_TRANSLATE_NOOP("MainWindow", "Record"), QT_TRANSLATE_NOOP("MainWindow", "Record"), ":/images/Run.png", QKeySequence::UnknownKey,
            nullptr, "actionMenu", "Action", slot(&MainWindow::runItem) },
        { "stopAct", QT_TRANSLATE_NOOP("MainWindow", "Stop"), QT_TRANSLATE_NOOP("MainWindow", "Stop"), ":/images/Stop1.png", QKeySequence::UnknownKey,
            nullptr, "actionMenu", "Action", slot(&MainWindow::stopItem) },
        { "langCNAct", QT_TRANSLATE_NOOP("MainWindow", "LangCN"), QT_TRANSLATE_NOOP("MainWindow", "LangCN"), ":/images/ico001.png",
            QKeySequence::UnknownKey, nullptr, "langMenu", nullptr, slot(&MainWindow::LangCNItem) },
        { "langWWAct", QT_TRANSLATE_NOOP("MainWindow", "LangWW"), QT_TRANSLATE_NOOP("MainWindow", "LangWW"), ":/images/ico002.png",
            QKeySequence::UnknownKey, nullptr, "langMenu", nullptr, slot(&MainWindow::LangWWItem) },
        { "setFontAct", QT_TRANSLATE_NOOP("MainWindow", "SetFont"), QT_TRANSLATE_NOOP("MainWindow", "SetFont"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setFontItem) },
        { "setFontWWAct", QT_TRANSLATE_NOOP("MainWindow", "SetFontWW"), QT_TRANSLATE_NOOP("MainWindow", "SetFontWW"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setFontItemWW) },
        { "setColorAct", QT_TRANSLATE_NOOP("MainWindow", "SetColor"), QT_TRANSLATE_NOOP("MainWindow", "setColor"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setColorItem) },
        { "setAutoSaveAct", QT_TRANSLATE_NOOP("MainWindow", "SetAutoSave"), QT_TRANSLATE_NOOP("MainWindow", "SetAutoSave"), ":/images/Save.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setAutoSaveItem) },
        { "setPauseMarkAct", QT_TRANSLATE_NOOP("MainWindow", "SetPauseMark"), QT_TRANSLATE_NOOP("MainWindow", "SetPauseMark"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setPauseMarkActItem) },
        { "setShowEditAct", QT_TRANSLATE_NOOP("MainWindow", "SetShowEdit"), QT_TRANSLATE_NOOP("MainWindow", "SetShowEdit"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setShowEditActItem) },
        { "setNetworkAct", QT_TRANSLATE_NOOP("MainWindow", "SetNetwork"), QT_TRANSLATE_NOOP("MainWindow", "SetNetwork"), ":/images/Application.png",
            QKeySequence::UnknownKey, nullptr, "settingMenu", nullptr, slot(&MainWindow::setNetworkActItem) },
        { "closeAct", QT_TRANSLATE_NOOP("MainWindow", "Cl&ose"), QT_TRANSLATE_NOOP("MainWindow", "Close the active window"), nullptr,
            QKeySequence::UnknownKey, nullptr, nullptr, nullptr, area(&QMdiArea::closeActiveSubWindow) },
        { "closeAllAct", QT_TRANSLATE_NOOP("MainWindow", "Close &All"), QT_TRANSLATE_NOOP("MainWindow", "Close all the windows"), nullptr,
            QKeySequence::UnknownKey, nullptr, nullptr, nullptr, area(&QMdiArea::closeAllSubWindows) },
        { "tileAct", QT_TRANSLATE_NOOP("MainWindow", "&Tile"), QT_TRANSLATE_NOOP("MainWindow", "Tile the windows"), nullptr, QKeySequence::UnknownKey,
            nullptr, nullptr, nullptr, area(&QMdiArea::tileSubWindows) },
        { "cascadeAct", QT_TRANSLATE_NOOP("MainWindow", "&Cascade"), QT_TRANSLATE_NOOP("MainWindow", "Cascade the windows"), nullptr,
            QKeySequence::UnknownKey, nullptr, nullptr, nullptr, area(&QMdiArea::cascadeSubWindows) },
        { "nextAct", QT_TRANSLATE_NOOP("MainWindow", "Ne&xt"), QT_TRANSLATE_NOOP("MainWindow", "Move the focus to the next window"), nullptr,
            QKeySequence::NextChild, nullptr, nullptr, nullptr, area(&QMdiArea::activateNextSubWindow) },
        { "previousAct", QT_TRANSLATE_NOOP("MainWindow", "Pre&vious"), QT_TRANSLATE_NOOP("MainWindow", "Move the focus to the previous window"), nullptr,
            QKeySequence::PreviousChild, nullptr, nullptr, nullptr, area(&QMdiArea::activatePreviousSubWindow) },
        { "aboutAct", QT_TRANSLATE_NOOP("MainWindow", "A&bout"), "", nullptr, QKeySequence::UnknownKey, QT_TRANSLATE_NOOP("MainWindow", "Ctrl+B"),
            "helpMenu", nullptr, slot(&MainWindow::about) },
        { "transelAct", QT_TRANSLATE_NOOP("MainWindow", "translate selection"), QT_TRANSLATE_NOOP("MainWindow", "translate selection item"),
            ":/images/Right.png", QKeySequence::UnknownKey, nullptr, "translationMenu", "Edit", slot(&MainWindow::transelItem) },
        { "tranallAct", QT_TRANSLATE_NOOP("MainWindow", "translate all"), QT_TRANSLATE_NOOP("MainWindow", "translate all"), ":/images/Pause.png",
            QKeySequence::UnknownKey, nullptr, "translationMenu", "Edit", slot(&MainWindow::tranallItem) },
        { "addUpAct", QT_TRANSLATE_NOOP("MainWindow", "Add Up"), QT_TRANSLATE_NOOP("MainWindow", "add Up Item"), ":/images/AddUp.png",
            QKeySequence::UnknownKey, nullptr, nullptr, "Edit", slot(&MainWindow::addUpItem) },
        { "addDownAct", QT_TRANSLATE_NOOP("MainWindow", "Add Down"), QT_TRANSLATE_NOOP("MainWindow", "add Down Item"), ":/images/AddDown.png",
            QKeySequence::UnknownKey, nullptr, nullptr, "Edit", slot(&MainWindow::addDownItem) },
        { "deleteAct", QT_TRANSLATE_NOOP("MainWindow", "&Delete"), QT_TRANSLATE_NOOP("MainWindow", "Delete Item"), ":/images/Delete.png",
            QKeySequence::UnknownKey, "Del", nullptr, "Edit", slot(&MainWindow::deleteItem) },
        { "playAct", QT_TRANSLATE_NOOP("MainWindow", "Play"), QT_TRANSLATE_NOOP("MainWindow", "Play"), ":/images/play.png", QKeySequence::UnknownKey,
            nullptr, nullptr, "Edit", slot(&MainWindow::playItem), true },
        { "retryFailedAct", QT_TRANSLATE_NOOP("MainWindow", "Retry failed"),
            QT_TRANSLATE_NOOP("MainWindow", "Translate the failed rows of the document again"), nullptr,
            QKeySequence::UnknownKey, nullptr, "translationMenu", nullptr,
            [window] {
                if (window->checkItemCommand())
                    window->translations().retryFailed(window->activeMdiChild()->model());
            },
            true },
        { "cancelTranslationAct", QT_TRANSLATE_NOOP("MainWindow", "Cancel translation"),
            QT_TRANSLATE_NOOP("MainWindow", "Cancel the translations still waiting in the document (Esc)"), nullptr,
            QKeySequence::UnknownKey, nullptr, "translationMenu", nullptr,
            [window] {
                if (MdiChild *child = window->activeMdiChild())
                    window->translations().cancel(child->model());
            } },
        // The interpreter connects its two switches itself.
        { "speakAct", QT_TRANSLATE_NOOP("MainWindow", "Speak translations as they arrive"),
            QT_TRANSLATE_NOOP("MainWindow", "While recording, speak each new translation aloud"),
            ":/images/Speak.png", QKeySequence::UnknownKey, nullptr, "actionMenu", "Edit", nullptr, true,
            true },
        { "listenAct", QT_TRANSLATE_NOOP("MainWindow", "Listen while speaking"),
            QT_TRANSLATE_NOOP("MainWindow", "Keep speech heard while a translation is spoken (with headphones)"),
            nullptr, QKeySequence::UnknownKey, nullptr, "actionMenu", nullptr, nullptr, false, true },
    };
}
