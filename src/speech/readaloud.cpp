#include "readaloud.h"

#include "speechconfig.h"
#include "speechsdk.h"

#include "app/appstate.h"

#include <QAbstractItemView>

namespace {
const int SpokenToTheEnd = 9;
}

bool ReadAloud::start(QAbstractItemView *view)
{
    index = 0;
    if (!view || !view->model())
        return false;
    const int translations = view->model()->rowCount();
    if (translations == 0)
        return false;
    const int current = view->currentIndex().row();
    index = current < 0 ? 0 : current;
    if (index >= translations)
        return false;

    // Cleared before speaking, so that a short text's end is not overwritten.
    const int before = SpeechSdk::playState();
    SpeechSdk::setPlayState(0);
    if (speakRow(view, index) != 0) {
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

void ReadAloud::tick(QAbstractItemView *view)
{
    if (SpeechSdk::playState() != SpokenToTheEnd || !view || !view->model())
        return;
    if (index + 1 >= view->model()->rowCount())
        return;
    ++index;
    speakRow(view, index);
}

void ReadAloud::stopPlayer()
{
    SpeechSdk::instance().playerStop();
}

int ReadAloud::speakRow(QAbstractItemView *view, int row)
{
    const QModelIndex item = view->model()->index(row, 0);
    view->setCurrentIndex(item);
    view->viewport()->repaint();
    const QString text = item.data().toString();
    return SpeechSdk::instance().playerSpeak(
        text.toUtf8(), SpeechConfig::synthesisConfig(AppState::recognitionLanguage, AppState::voiceHost));
}
