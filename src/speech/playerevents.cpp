#include "playerevents.h"

PlayerEvents &PlayerEvents::instance()
{
    static PlayerEvents *events = new PlayerEvents;
    return *events;
}
