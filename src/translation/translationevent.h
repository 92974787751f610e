#pragma once

#include <QEvent>

// Posted by the translation worker to its receiver. The event carries only its
// type; the results wait in the worker's lists until the receiver takes them.
class TranslationEvent : public QEvent
{
public:
    enum Type { AppendType = 2244, RowType = 2254 };

    explicit TranslationEvent(Type type)
        : QEvent(static_cast<QEvent::Type>(type))
    { }
};
