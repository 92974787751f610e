#pragma once

#include "recognitionevent.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class DocumentModel;

// Applies recognition results to a document on the GUI thread, in the order
// the handlers posted them.
class Recognition
{
public:
    struct Outcome
    {
        QList<quint64> queued;        // items to translate, in order
        bool finalAdded = false;      // a final sentence was appended
        bool partialChanged = false;  // the provisional last item changed
        // A provisional item left behind in another document (or by a stop),
        // now kept as a sentence of its own and to be translated there.
        QPointer<DocumentModel> settledDocument;
        quint64 settledItem = 0;
    };

    struct Segment
    {
        QString text;
        int index = 0;
    };

    // The segments of a phrase-mode result that pass the score test and carry
    // a "Text", in order. False when json is not a JSON object. count gets
    // "SegmentCount", or MissingSegmentCount when it is absent or not a number.
    static bool parseSegments(const QByteArray &json, int scoreThreshold, QList<Segment> *segments,
                              int *count = nullptr);
    // Without a count, every segment of an in-progress result stays provisional
    // until the final result settles it.
    static constexpr int MissingSegmentCount = 1;

    // Applies a result to doc. Nothing happens without a document or when
    // the record was empty.
    Outcome apply(DocumentModel *doc, const RecognitionEvent &event);

    // Keeps a provisional last item as a final sentence, as when recording
    // stops: it stays where the operator saw it and gets its translation, so
    // the two lists stay level.
    Outcome settle();

    // Results that arrive while a document is being saved wait here.
    void defer(const RecognitionEvent &event);
    QList<RecognitionEvent> takePending();
    bool hasPending() const { return !pending.isEmpty(); }

private:
    void applyFinal(DocumentModel *doc, const RecognitionEvent &event, Outcome *outcome);
    void applyPartial(DocumentModel *doc, const RecognitionEvent &event, Outcome *outcome);
    void addFinal(DocumentModel *doc, const QString &text, Outcome *outcome);
    void refresh(DocumentModel *doc, const Outcome &outcome);

    void settleElsewhere(DocumentModel *doc, Outcome *outcome);

    QList<RecognitionEvent> pending;
    QPointer<DocumentModel> provisionalDocument; // holds the provisional last item
};
