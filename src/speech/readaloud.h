#pragma once

#include <functional>

class QAbstractItemView;
class QAction;
class QTimer;

// Reading a document's translations aloud, one item after the other: the
// play index, the play timer and the Play action's icon.
class ReadAloud
{
public:
    // Speaks the translation at the view's current row (row 0 without one).
    // True when playback started: the caller shows the stop icon and starts
    // the timer.
    bool start(QAbstractItemView *view);
    // Ends a reading: the play state goes back to 0 and the player stops.
    void stop();
    // One timer tick: once the player has finished the current text, moves to
    // the next row and speaks it. After the last row, or before a row without
    // text, nothing more happens.
    void tick(QAbstractItemView *view);

    int playIndex() const { return index; }

    static void stopPlayer();

    // Play: starts reading the active translation view, or stops a reading.
    void attach(QAction *play, std::function<QAbstractItemView *()> activeView);
    void toggle();
    bool isReading() const;

private:
    static bool hasText(QAbstractItemView *view, int row);
    int speakRow(QAbstractItemView *view, int row);

    int index = 0;
    QAction *playAction = nullptr;
    QTimer *timer = nullptr;
    std::function<QAbstractItemView *()> activeView;
};
