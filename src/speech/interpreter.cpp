#include "interpreter.h"

#include "playerevents.h"
#include "readaloud.h"
#include "recordingcontrol.h"
#include "speechconfig.h"
#include "speechsdk.h"

#include "app/appstate.h"
#include "app/settings.h"
#include "documents/documentmodel.h"
#include "documents/mdichild.h"
#include "translation/translationrouter.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

namespace {
// The main window's catalogue context, where the operator looks for these texts.
QString text(const char *source) { return QCoreApplication::translate("MainWindow", source); }
}

Interpreter::Interpreter(
    TranslationRouter &router, RecordingControl &recording, ReadAloud &readAloud, QObject *parent)
    : QObject(parent)
    , readAloud(readAloud)
{
    setObjectName(QStringLiteral("interpreter"));
    router.setFirstTranslationLanded(
        [this](DocumentModel *document, quint64 itemId) { translationLanded(document, itemId); });
    recording.setHearing([this] { return hears(); });
    // Queued: the player reports on its own thread.
    connect(&PlayerEvents::instance(), &PlayerEvents::stateChanged, this, &Interpreter::playerStateChanged,
        Qt::QueuedConnection);
}

void Interpreter::attach(const Controls &newControls, std::function<QList<MdiChild *>()> documentList)
{
    controls = newControls;
    documents = std::move(documentList);
    controls.speak->setChecked(Settings::readInt(SettingsKeys::SpeakTranslations, QStringLiteral("0")) == 1);
    controls.listen->setChecked(
        Settings::readInt(SettingsKeys::ListenWhileSpeaking, QStringLiteral("0")) == 1);
    connect(controls.speak, &QAction::toggled, this, &Interpreter::switched);
    connect(controls.listen, &QAction::toggled, this,
        [](bool on) { Settings::write(SettingsKeys::ListenWhileSpeaking, on ? 1 : 0); });
    connect(controls.stop, &QAction::triggered, this, &Interpreter::clear);
    stateLabel = new QLabel;
    stateLabel->setObjectName(QStringLiteral("interpreterLabel"));
    controls.statusBar->addPermanentWidget(stateLabel);
    showState();
}

bool Interpreter::isOn() const { return controls.speak && controls.speak->isChecked(); }

void Interpreter::switched(bool on)
{
    Settings::write(SettingsKeys::SpeakTranslations, on ? 1 : 0);
    if (!on)
        clear();
    showState();
}

void Interpreter::translationLanded(DocumentModel *document, quint64 itemId)
{
    if (!isOn() || AppState::RecordState != AppState::Recording || !document)
        return;
    connect(document, &QObject::destroyed, this, &Interpreter::documentGone, Qt::UniqueConnection);
    const int ahead = queue.size() + (speaking ? 1 : 0);
    queue.append({ document, itemId,
        SpeechConfig::synthesisConfig(AppState::recognitionLanguage, AppState::voiceHost) });
    emit queued(document->documentId(), itemId, ahead);
    if (speaking)
        showState();
    else
        speakNext();
}

bool Interpreter::hears()
{
    if (!isOn() || controls.listen->isChecked())
        return true;
    const bool echo = speaking || (sinceVoice.isValid() && sinceVoice.elapsed() < EchoTailMs);
    if (!echo)
        return true;
    if (!droppedReported) {
        droppedReported = true;
        controls.statusBar->showMessage(
            text(QT_TRANSLATE_NOOP("MainWindow", "Speech heard while speaking a translation is dropped")));
    }
    return false;
}

void Interpreter::clear()
{
    queue.clear();
    droppedReported = false;
    stopVoice();
    showState();
}

void Interpreter::stopVoice()
{
    if (!speaking)
        return;
    speaking = false;
    sinceVoice.start();
    SpeechSdk::instance().playerStop();
    // The stopped text's events are waiting for this object: spent now, they
    // cannot be taken for those of the next text.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void Interpreter::speakNext()
{
    speaking = false;
    while (!queue.isEmpty()) {
        const Entry entry = queue.takeFirst();
        DocumentModel *document = entry.document;
        const int row = document ? document->rowOf(entry.itemId) : -1;
        if (row < 0 || document->at(row).translation.trimmed().isEmpty())
            continue;
        if (readAloud.isReading()) {
            // The operator's reading gives way; its ending events are spent with it.
            readAloud.toggle();
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        }
        highlight(document, row);
        current = entry;
        begun = false;
        if (SpeechSdk::instance().playerSpeak(document->at(row).translation.toUtf8(), entry.config) == 0) {
            speaking = true;
            break;
        }
    }
    showState();
}

void Interpreter::playerStateChanged(int state)
{
    if (!speaking)
        return;
    if (state == PlayerEvents::Started) {
        begun = true;
        emit started(current.document ? current.document->documentId() : 0, current.itemId);
        return;
    }
    // An end before the start belongs to an earlier text.
    if (!begun
        || (state != PlayerEvents::Ended && state != PlayerEvents::Stopped && state != PlayerEvents::Failed))
        return;
    sinceVoice.start();
    speakNext();
}

void Interpreter::documentGone()
{
    // The closed document's pointers are already null.
    for (int i = queue.size() - 1; i >= 0; --i) {
        if (!queue.at(i).document)
            queue.removeAt(i);
    }
    if (speaking && !current.document) {
        stopVoice();
        speakNext();
    }
    showState();
}

void Interpreter::highlight(DocumentModel *document, int row) const
{
    for (MdiChild *child : documents()) {
        if (child->model() != document)
            continue;
        // As Play does: the row being read is the current one, in both lists.
        for (QListView *view : { child->sourceView, child->translationView }) {
            if (row >= view->model()->rowCount())
                continue;
            view->setCurrentIndex(view->model()->index(row, 0));
            view->viewport()->update();
        }
    }
}

void Interpreter::showState()
{
    if (!stateLabel)
        return;
    controls.play->setEnabled(!(isOn() && speaking));
    if (!speaking)
        stateLabel->clear();
    else if (queue.isEmpty())
        stateLabel->setText(text(QT_TRANSLATE_NOOP("MainWindow", "Speaking a translation")));
    else
        stateLabel->setText(
            text(QT_TRANSLATE_NOOP("MainWindow", "Speaking a translation, %1 waiting")).arg(queue.size()));
    stateLabel->setVisible(speaking);
}
