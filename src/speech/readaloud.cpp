#include "readaloud.h"

#include "speechconfig.h"
#include "speechsdk.h"

#include "documents/mdichild.h"

#include "app/appstate.h"

#include <QListView>
#include <QStringListModel>

namespace {
const int SpokenToTheEnd = 9;
}

bool ReadAloud::start(MdiChild *doc)
{
    index = 0;
    if (!doc)
        return false;
    const QStringList translations = doc->translationModel->stringList();
    if (translations.isEmpty())
        return false;
    const int current = doc->translationView->currentIndex().row();
    index = current < 0 ? 0 : current;
    if (index >= translations.size())
        return false;

    // Cleared before speaking, so that a short text's end is not overwritten.
    const int before = SpeechSdk::playState();
    SpeechSdk::setPlayState(0);
    if (speakRow(doc, index) != 0) {
        SpeechSdk::setPlayState(before);
        return false;
    }
    return true;
}

void ReadAloud::stop()
{
    SpeechSdk::setPlayState(0);
    stopPlayer();
}

void ReadAloud::tick(MdiChild *doc)
{
    if (SpeechSdk::playState() != SpokenToTheEnd || !doc)
        return;
    const QStringList translations = doc->translationModel->stringList();
    if (index + 1 >= translations.size())
        return;
    ++index;
    speakRow(doc, index);
}

void ReadAloud::stopPlayer()
{
    SpeechSdk::instance().playerStop();
}

int ReadAloud::speakRow(MdiChild *doc, int row)
{
    doc->translationView->setCurrentIndex(doc->translationModel->index(row));
    doc->translationView->viewport()->repaint();
    const QString text = doc->translationModel->stringList().at(row);
    return SpeechSdk::instance().playerSpeak(
        text.toUtf8(), SpeechConfig::synthesisConfig(AppState::recognitionLanguage, AppState::voiceHost));
}
