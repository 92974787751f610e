#pragma once

#include <QObject>

// The player's events as a signal, so that a listener can act on the end of a
// text at once instead of polling the play state. Emitted on the SDK's own
// thread: connect with a queued connection. Never destroyed, like the SDK.
class PlayerEvents : public QObject
{
    Q_OBJECT

public:
    enum State { Started = 2, Ended = 9, Stopped = 10, Failed = 11 };

    static PlayerEvents &instance();

signals:
    void stateChanged(int state);

private:
    PlayerEvents() = default;
};
