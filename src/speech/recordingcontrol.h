#pragma once

#include "documents/documentmodel.h"
#include "speech/recognition.h"

#include <QCoreApplication>
#include <functional>
#include <memory>

class DocumentModel;
class QAction;
class QEvent;
class QLabel;
class QWidget;
class TranslationRouter;

// Record and Stop: the record state and its icons and label, and the
// recognition results on their way into the active document, held back while
// a document is being saved and queued for translation once applied.
class RecordingControl
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    struct Controls
    {
        QWidget *window = nullptr; // parent of messages, receiver of the posted results
        QAction *record = nullptr;
        QAction *stop = nullptr;
        QLabel *state = nullptr;
        QWidget *modeBox = nullptr;
    };

    RecordingControl(TranslationRouter &router, std::function<DocumentModel *()> activeDocument);
    ~RecordingControl();

    void setControls(const Controls &controls);
    // Called after a recognised sentence was added to the active document.
    void setSentenceAdded(std::function<void()> callback) { sentenceAdded = std::move(callback); }
    // Asked as each result arrives; a result it says was not heard is dropped.
    void setHearing(std::function<bool()> callback) { hearing = std::move(callback); }

    void start();
    void stop();
    // Stops and starts again, so that a new direction takes effect.
    void restart();
    // A document exists now: recording can start.
    void documentOpened();
    // The last document is closing: nothing could take the speech any more.
    void lastDocumentClosing();
    void showState();

    void apply(QEvent *event);
    // A save is under way: results wait until it is done, then come in order.
    void beginSaving();
    void finishSaving();

private:
    void take(const RecognitionEvent &result);
    void queue(DocumentModel *document, const Recognition::Outcome &outcome);
    void setIcons(int state);

    TranslationRouter &router;
    std::function<DocumentModel *()> activeDocument;
    std::function<void()> sentenceAdded;
    std::function<bool()> hearing;
    std::unique_ptr<Recognition> recognition;
    Controls controls;
};
