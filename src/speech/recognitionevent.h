#pragma once

#include <QByteArray>
#include <QEvent>

// The two event types the recognition handlers post to the main window.
constexpr QEvent::Type PartialResultEvent = QEvent::Type(2264);
constexpr QEvent::Type FinalResultEvent = QEvent::Type(2274);

// A recognition result as a handler was given it: the first result entry, if
// the record had any. Posted from an SDK thread; the GUI thread applies it,
// so no SDK thread touches a document.
class RecognitionEvent : public QEvent
{
public:
    enum Kind { Final, Partial };

    static constexpr QEvent::Type PartialType = PartialResultEvent;
    static constexpr QEvent::Type FinalType = FinalResultEvent;

    RecognitionEvent(Kind kind, bool hasEntries, quint32 score, const QByteArray &text)
        : QEvent(kind == Final ? FinalType : PartialType)
        , resultKind(kind)
        , entries(hasEntries)
        , resultScore(score)
        , resultText(text)
    {
    }

    // A copy is a fresh event: QEvent's own copy would keep the "posted" mark,
    // and every copy would then search the thread's event queue when destroyed.
    RecognitionEvent(const RecognitionEvent &other)
        : QEvent(other.type())
        , resultKind(other.resultKind)
        , entries(other.entries)
        , resultScore(other.resultScore)
        , resultText(other.resultText)
    {
    }

    RecognitionEvent &operator=(const RecognitionEvent &other)
    {
        t = other.t;
        resultKind = other.resultKind;
        entries = other.entries;
        resultScore = other.resultScore;
        resultText = other.resultText;
        return *this;
    }

    Kind kind() const { return resultKind; }
    bool hasEntries() const { return entries; }
    quint32 score() const { return resultScore; }
    QByteArray text() const { return resultText; }  // UTF-8

private:
    Kind resultKind;
    bool entries;
    quint32 resultScore;
    QByteArray resultText;
};
