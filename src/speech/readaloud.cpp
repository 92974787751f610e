#include "readaloud.h"

#include "speechconfig.h"
#include "speechsdk.h"

#include "app/appstate.h"

#include <QAbstractItemView>
#include <QAction>
#include <QTimer>

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
    if (index >= translations || !hasText(view, index))
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
    if (index + 1 >= view->model()->rowCount() || !hasText(view, index + 1))
        return;
    ++index;
    // Cleared first, as for the first row: a tick that comes before the player
    // reports "started" must not take the last row's end for this one's.
    SpeechSdk::setPlayState(0);
    speakRow(view, index);
}

void ReadAloud::attach(QAction *play, std::function<QAbstractItemView *()> view)
{
    playAction = play;
    activeView = std::move(view);
    timer = new QTimer(play->parent());
    timer->setObjectName(QStringLiteral("playTimer"));
    QObject::connect(timer, &QTimer::timeout, play, [this] { tick(activeView()); });
}

void ReadAloud::toggle()
{
    if (timer->isActive()) {
        stop();
        playAction->setIcon(QIcon(QStringLiteral(":/images/play.png")));
        timer->stop();
        return;
    }
    if (start(activeView())) {
        playAction->setIcon(QIcon(QStringLiteral(":/images/Stop.png")));
        timer->start(1000);
    }
}

bool ReadAloud::isReading() const { return timer && timer->isActive(); }

void ReadAloud::stopPlayer()
{
    SpeechSdk::instance().playerStop();
}

// A row still waiting for its first translation has no text: reading stops there.
bool ReadAloud::hasText(QAbstractItemView *view, int row)
{
    return view->model()->index(row, 0).data().isValid();
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
