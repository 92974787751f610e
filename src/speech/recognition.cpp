#include "recognition.h"

#include "documents/mdichild.h"

#include "app/appstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTextCursor>

namespace {

int integerOf(const QJsonValue &value)
{
    return value.isString() ? value.toString().toInt() : int(value.toDouble());
}

}

bool Recognition::parseSegments(const QByteArray &json, int scoreThreshold, QList<Segment> *segments, int *count)
{
    segments->clear();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject result = document.object();
    if (count) {
        const QJsonValue segmentCount = result.value(QLatin1String("SegmentCount"));
        *count = segmentCount.isDouble() ? int(segmentCount.toDouble()) : MissingSegmentCount;
    }
    const QJsonArray array = result.value(QLatin1String("Segment")).toArray();
    for (const QJsonValue &element : array) {
        const QJsonObject segment = element.toObject();
        if (segment.contains(QLatin1String("Score"))
            && integerOf(segment.value(QLatin1String("Score"))) < scoreThreshold)
            continue;
        if (!segment.contains(QLatin1String("Text")))
            continue;
        Segment s;
        s.text = segment.value(QLatin1String("Text")).toString();
        if (segment.contains(QLatin1String("SegmentIndex")))
            s.index = integerOf(segment.value(QLatin1String("SegmentIndex")));
        segments->append(s);
    }
    return true;
}

Recognition::Outcome Recognition::apply(MdiChild *doc, const RecognitionEvent &event)
{
    Outcome outcome;
    if (!doc || !event.hasEntries())
        return outcome;
    if (event.kind() == RecognitionEvent::Final)
        applyFinal(doc, event, &outcome);
    else
        applyPartial(doc, event, &outcome);
    refresh(doc, outcome);
    return outcome;
}

void Recognition::applyFinal(MdiChild *doc, const RecognitionEvent &event, Outcome *outcome)
{
    if (AppState::phraseMode) {
        QList<Segment> segments;
        if (!parseSegments(event.text(), AppState::scoreThreshold, &segments))
            return;
        for (const Segment &segment : segments)
            addFinal(doc, segment.text, outcome);
        return;
    }

    if (qint64(event.score()) < qint64(AppState::scoreThreshold) || event.text().isEmpty())
        return;
    const QString text = QString::fromUtf8(event.text());
    if (AppState::textMode == 0)
        AppState::sourceText = doc->sourceEdit->toPlainText() + text + AppState::sentenceSeparator;
    doc->appendSource(text);
    outcome->queued.append(text);
    outcome->finalAdded = true;
}

void Recognition::applyPartial(MdiChild *doc, const RecognitionEvent &event, Outcome *outcome)
{
    if (!AppState::phraseMode)
        return;
    QList<Segment> segments;
    int count = MissingSegmentCount;
    if (!parseSegments(event.text(), AppState::scoreThreshold, &segments, &count))
        return;
    for (const Segment &segment : segments) {
        if (count >= 2 && segment.index != count) {
            addFinal(doc, segment.text, outcome);
            continue;
        }
        // Still being spoken: shown as a provisional last item, not translated.
        settleElsewhere(doc, outcome);
        if (AppState::textMode == 0)
            AppState::partialText = segment.text + AppState::sentenceSeparator;
        if (AppState::lastItemFinal)
            doc->appendSource(segment.text);
        else
            doc->replaceLastSource(segment.text);
        AppState::lastItemFinal = false;
        provisionalDocument = doc;
        outcome->partialChanged = true;
    }
}

void Recognition::addFinal(MdiChild *doc, const QString &text, Outcome *outcome)
{
    settleElsewhere(doc, outcome);
    if (AppState::textMode == 0)
        AppState::sourceText += text + AppState::sentenceSeparator;
    if (AppState::lastItemFinal)
        doc->appendSource(text);
    else
        doc->replaceLastSource(text);
    AppState::lastItemFinal = true;
    outcome->queued.append(text);
    outcome->finalAdded = true;
}

// The provisional item belongs to the document it was shown in: a result for
// another document must neither replace nor strand it.
void Recognition::settleElsewhere(MdiChild *doc, Outcome *outcome)
{
    if (AppState::lastItemFinal || provisionalDocument == doc)
        return;
    auto *holder = qobject_cast<MdiChild *>(provisionalDocument.data());
    if (holder && !holder->sources().isEmpty()) {
        outcome->settledDocument = holder;
        outcome->settledText = holder->sources().constLast();
    }
    provisionalDocument.clear();
    AppState::lastItemFinal = true;
}

Recognition::Outcome Recognition::settle()
{
    Outcome outcome;
    if (AppState::lastItemFinal)
        return outcome;
    auto *holder = qobject_cast<MdiChild *>(provisionalDocument.data());
    if (holder && !holder->sources().isEmpty()) {
        outcome.settledDocument = holder;
        outcome.settledText = holder->sources().constLast();
        if (AppState::textMode == 0) {
            AppState::sourceText += AppState::partialText;
            AppState::partialText.clear();
        }
    }
    provisionalDocument.clear();
    AppState::lastItemFinal = true;
    return outcome;
}

void Recognition::refresh(MdiChild *doc, const Outcome &outcome)
{
    if (!outcome.finalAdded && !outcome.partialChanged)
        return;
    if (AppState::textMode == 0) {
        // A provisional last item means the latest change was in-progress text.
        const QString shown
            = AppState::lastItemFinal ? AppState::sourceText : AppState::sourceText + AppState::partialText;
        doc->sourceEdit->setPlainText(shown);
        doc->sourceEdit->moveCursor(QTextCursor::End);
    }
    doc->setModified(true);
}

void Recognition::defer(const RecognitionEvent &event)
{
    pending.append(event);
}

QList<RecognitionEvent> Recognition::takePending()
{
    QList<RecognitionEvent> taken;
    taken.swap(pending);
    return taken;
}
