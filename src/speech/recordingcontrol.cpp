#include "recordingcontrol.h"

#include "app/appstate.h"
#include "speech/recognitionevent.h"
#include "speech/recorder.h"
#include "translation/translationrouter.h"
#include "widgets/qmymessagebox.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

RecordingControl::RecordingControl(TranslationRouter &router, std::function<DocumentModel *()> activeDocument)
    : router(router)
    , activeDocument(std::move(activeDocument))
    , recognition(std::make_unique<Recognition>())
{ }

RecordingControl::~RecordingControl() = default;

void RecordingControl::setControls(const Controls &newControls)
{
    controls = newControls;
    showState();
}

void RecordingControl::start()
{
    if (AppState::RecordState != AppState::Idle)
        return;
    const int code = Recorder::start();
    if (code != 0) {
        QMyMessageBox::warning(
            controls.window, tr("Application"), tr("start record failed, errcode:") + QString::number(code));
        return;
    }
    AppState::RecordState = AppState::Recording;
    showState();
}

void RecordingControl::stop()
{
    if (AppState::RecordState != AppState::Recording)
        return;
    Recorder::cancel();
    // Results already posted belong to this recording; then the sentence still
    // on screen as provisional text is kept and translated like any other.
    QCoreApplication::sendPostedEvents(controls.window, 0);
    queue(nullptr, recognition->settle());
    AppState::RecordState = AppState::Idle;
    showState();
}

void RecordingControl::restart()
{
    if (AppState::RecordState != AppState::Recording)
        return;
    stop();
    QTimer::singleShot(10, controls.window, [this] { start(); });
}

void RecordingControl::documentOpened()
{
    if (AppState::RecordState == AppState::NoDocument)
        AppState::RecordState = AppState::Idle;
    setIcons(AppState::RecordState);
}

void RecordingControl::lastDocumentClosing()
{
    // A capture left running would refuse the next start while the window shows "idle".
    stop();
    AppState::RecordState = AppState::NoDocument;
    setIcons(AppState::NoDocument);
}

void RecordingControl::showState()
{
    const bool recording = AppState::RecordState == AppState::Recording;
    setIcons(AppState::RecordState);
    if (controls.state)
        controls.state->setText(recording ? tr("recording") : tr("norecording"));
    if (controls.modeBox)
        controls.modeBox->setEnabled(!recording);
}

void RecordingControl::setIcons(int state)
{
    if (!controls.record || !controls.stop)
        return;
    controls.record->setIcon(QIcon(state == AppState::Idle ? QStringLiteral(":/images/Run.png")
                                                            : QStringLiteral(":/images/Run1.png")));
    controls.stop->setIcon(QIcon(state == AppState::Recording ? QStringLiteral(":/images/Stop.png")
                                                               : QStringLiteral(":/images/Stop1.png")));
}

void RecordingControl::apply(QEvent *event)
{
    if (hearing && !hearing())
        return;
    take(*static_cast<RecognitionEvent *>(event));
}

void RecordingControl::take(const RecognitionEvent &result)
{
    if (AppState::savingInProgress) {
        recognition->defer(result);
        return;
    }
    DocumentModel *document = activeDocument();
    if (!document)
        return;
    const Recognition::Outcome outcome = recognition->apply(document, result);
    queue(document, outcome);
    if (outcome.finalAdded && sentenceAdded)
        sentenceAdded();
}

void RecordingControl::beginSaving() { AppState::savingInProgress = true; }

void RecordingControl::finishSaving()
{
    AppState::savingInProgress = false;
    const auto pending = recognition->takePending();
    // Heard before: the hearing test was passed on arrival.
    for (const RecognitionEvent &result : pending)
        take(result);
}

void RecordingControl::queue(DocumentModel *document, const Recognition::Outcome &outcome)
{
    if (outcome.settledDocument)
        router.queueNew(outcome.settledDocument, outcome.settledItem);
    for (const quint64 item : outcome.queued)
        router.queueNew(document, item);
}
