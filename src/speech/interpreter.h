#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class DocumentModel;
class MdiChild;
class QAction;
class QLabel;
class QStatusBar;
class ReadAloud;
class RecordingControl;
class TranslationRouter;

// Interpreter mode: while recording runs, each new sentence's translation is
// spoken as soon as it lands, one after another in the order the sentences
// were spoken, through the same player as Play. By default recognition is
// half-duplex: what is heard while the program speaks is its own voice, so it
// is dropped.
class Interpreter : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QAction *speak = nullptr; // the switch
        QAction *listen = nullptr; // keep results heard while speaking
        QAction *play = nullptr;
        QAction *stop = nullptr; // Stop recording
        QStatusBar *statusBar = nullptr;
    };

    // Results heard later than this after the voice ended are the operator's
    // again: the recogniser delivers a sentence only after hearing its end.
    static constexpr int EchoTailMs = 600;

    Interpreter(
        TranslationRouter &router, RecordingControl &recording, ReadAloud &readAloud, QObject *parent);

    // Takes the actions over and reads both switches from the settings;
    // documents gives the lists in which the spoken row is highlighted.
    void attach(const Controls &controls, std::function<QList<MdiChild *>()> documents);

    bool isOn() const;
    bool isSpeaking() const { return speaking; }
    int waiting() const { return queue.size(); }

    // A new sentence's first translation landed in document at itemId.
    void translationLanded(DocumentModel *document, quint64 itemId);
    // False for a recognition result heard while the program speaks, unless
    // listening while speaking is on; the first one dropped is reported.
    bool hears();
    // Empties the queue and stops the voice.
    void clear();

signals:
    // ahead: translations speaking or waiting before this one.
    void queued(quint64 documentId, quint64 itemId, int ahead);
    void started(quint64 documentId, quint64 itemId);

private:
    struct Entry
    {
        QPointer<DocumentModel> document;
        quint64 itemId = 0;
        QByteArray config; // the voice of the direction the sentence was spoken in
    };

    void switched(bool on);
    void speakNext();
    void stopVoice();
    void playerStateChanged(int state);
    void documentGone();
    void highlight(DocumentModel *document, int row) const;
    void showState();

    ReadAloud &readAloud;
    Controls controls;
    std::function<QList<MdiChild *>()> documents;
    QLabel *stateLabel = nullptr;
    QList<Entry> queue;
    Entry current;
    bool speaking = false;
    bool begun = false; // the player reported the current text's start
    bool droppedReported = false;
    QElapsedTimer sinceVoice;
};
