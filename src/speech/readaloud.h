#pragma once

class QAbstractItemView;

// Reading a document's translations aloud, one item after the other. The
// main window owns the play timer and the icon; this keeps the play index.
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
    // the next row and speaks it. After the last row nothing more happens.
    void tick(QAbstractItemView *view);

    int playIndex() const { return index; }

    static void stopPlayer();

private:
    int speakRow(QAbstractItemView *view, int row);

    int index = 0;
};
