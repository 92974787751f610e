#include "recognition.h"

#include "documents/documentmodel.h"

#include "app/appstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

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

Recognition::Outcome Recognition::apply(DocumentModel *doc, const RecognitionEvent &event)
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

void Recognition::applyFinal(DocumentModel *doc, const RecognitionEvent &event, Outcome *outcome)
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
    const QString text = DocumentModel::oneLine(QString::fromUtf8(event.text()));
    if (AppState::textMode == 0)
        doc->setRunningSource(doc->editedSource() + text + AppState::sentenceSeparator, false);
    outcome->queued.append(doc->appendSource(text));
    outcome->finalAdded = true;
}

void Recognition::applyPartial(DocumentModel *doc, const RecognitionEvent &event, Outcome *outcome)
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
        const QString text = DocumentModel::oneLine(segment.text);
        if (AppState::textMode == 0)
            doc->setPartialSource(text + AppState::sentenceSeparator);
        doc->showProvisional(text);
        provisionalDocument = doc;
        outcome->partialChanged = true;
    }
}

void Recognition::addFinal(DocumentModel *doc, const QString &segmentText, Outcome *outcome)
{
    settleElsewhere(doc, outcome);
    const QString text = DocumentModel::oneLine(segmentText);
    if (AppState::textMode == 0)
        doc->setRunningSource(doc->runningSource() + text + AppState::sentenceSeparator, false);
    outcome->queued.append(doc->addFinal(text));
    outcome->finalAdded = true;
}

// The provisional item belongs to the document it was shown in: a result for
// another document must neither replace nor strand it.
void Recognition::settleElsewhere(DocumentModel *doc, Outcome *outcome)
{
    if (!provisionalDocument || provisionalDocument == doc)
        return;
    if (const quint64 item = provisionalDocument->settleProvisional()) {
        outcome->settledDocument = provisionalDocument;
        outcome->settledItem = item;
    }
    provisionalDocument.clear();
}

Recognition::Outcome Recognition::settle()
{
    Outcome outcome;
    if (provisionalDocument) {
        if (const quint64 item = provisionalDocument->settleProvisional()) {
            outcome.settledDocument = provisionalDocument;
            outcome.settledItem = item;
        }
    }
    provisionalDocument.clear();
    return outcome;
}

void Recognition::refresh(DocumentModel *doc, const Outcome &outcome)
{
    if (!outcome.finalAdded && !outcome.partialChanged)
        return;
    // A provisional last item means the latest change was in-progress text.
    if (AppState::textMode == 0)
        doc->setRunningSource(doc->runningSource());
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
