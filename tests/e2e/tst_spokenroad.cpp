// A spoken sentence's road as the operator walks it, steps building on each
// other in one main window; translations come from this test's server.

#include "../speech/standinprobe.h"
#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/lineeditorcreator.h"
#include "documents/mdichild.h"
#include "modalanswer.h"
#include "senttext.h"
#include "testfiles.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QtWidgets>

namespace {

const int WaitMs = 30000;

QString translationOf(const QString &text, int round) { return QStringLiteral("译%1:").arg(round) + text; }

QStringList translationsOf(QStringList texts, int round)
{
    for (QString &text : texts)
        text = translationOf(text, round);
    return texts;
}

QString joined(const QStringList &items, const QString &separator) { return items.join(separator) + separator; }

bool clickRow(QListView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QCoreApplication::processEvents();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
    return view->currentIndex().row() == row;
}

// Answers Qt's own file dialog; its name field is filled directly, since
// selectFile() leaves the field alone while it has the focus.
void answerFileDialog(QWidget *modal, const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog)
        return void(modal->close());
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    dialog->selectFile(path);
    dialog->QDialog::accept(); // QFileDialog's own accept checks the name
}

}

class TestSpokenRoad : public QObject
{
    Q_OBJECT

    HttpTestServer server;
    std::unique_ptr<WindowFixture> f;
    MainWindow *w = nullptr;
    StandinProbe probe;
    QTemporaryDir docs;
    int round = 1;
    bool failing = false;
    QStringList chinese, uyghur;
    MdiChild *chineseDoc = nullptr;
    MdiChild *doc = nullptr; // the Uyghur document
    const QString typed = QStringLiteral("ياخشى, \"دوست\"");
    QList<QPair<int, QString>> shown; // (row count, changed text) per change while recording

    QStringList sentSince(int first) const
    {
        QStringList sent;
        for (const HttpTestServer::Request &request : server.requests().mid(first))
            sent.append(sentText(request));
        return sent;
    }

    // Records until the sentences are added and translated, each sent once.
    void record(MdiChild *document, const QStringList &sentences)
    {
        shown.clear();
        QAbstractItemModel *model = document->sourceModel;
        const auto note = [this, model](int row) {
            shown.append({ model->rowCount(), model->index(row, 0).data().toString() });
        };
        QObject watch;
        connect(model, &QAbstractItemModel::dataChanged, &watch,
            [note](const QModelIndex &, const QModelIndex &last) { note(last.row()); });
        connect(model, &QAbstractItemModel::rowsInserted, &watch,
            [note](const QModelIndex &, int, int last) { note(last); });
        const int first = server.requestCount(), before = document->sources().size();
        w->action("runAct")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(document->translations().size(), before + sentences.size(), WaitMs);
        w->action("stopAct")->trigger();
        QVERIFY(AppState::RecordState == AppState::Idle && !probe.recorderRunning() && document->isModified());
        QCOMPARE(document->sources().mid(before), sentences);
        QCOMPARE(document->translations().mid(before), translationsOf(sentences, round));
        QCOMPARE(sentSince(first), sentences);
    }

private slots:
    void initTestCase()
    {
        qputenv("TOLVANE_SDK_PACE_MS", "5");
        qunsetenv("TOLVANE_SDK_TRANSCRIPT");
        QVERIFY(probe.load());
        const auto transcript = [](const char *name) {
            return QString::fromUtf8(readBytes(StandinProbe::path(name))).trimmed().split('\n');
        };
        chinese = transcript("data/transcript_cn.txt");
        uyghur = transcript("data/transcript_ug.txt");
        QVERIFY(chinese.size() >= 3 && uyghur.size() >= 6);
        server.setHandler([this](const HttpTestServer::Request &request) {
            return HttpTestServer::Reply { failing ? 404 : 200,
                HttpTestServer::translationReply(translationOf(sentText(request), round)), 0 };
        });
        f = std::make_unique<WindowFixture>();
        w = f->window;
        w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
        chineseDoc = w->activeMdiChild();
        QVERIFY(chineseDoc);
    }

    void recordChinesePhrases()
    {
        record(chineseDoc, chinese);
        // Each sentence grew as the provisional last item before it settled.
        for (const QString &sentence : chinese) {
            const int rows = chinese.indexOf(sentence) + 1;
            QVERIFY2(std::any_of(shown.cbegin(), shown.cend(),
                         [&](const QPair<int, QString> &c) {
                             return c.first == rows && !c.second.isEmpty()
                                 && c.second.size() < sentence.size() && sentence.startsWith(c.second);
                         }),
                qPrintable(sentence));
        }
    }

    void recordUyghurSentences()
    {
        w->action("newAct")->trigger();
        doc = w->activeMdiChild();
        w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1); // whole sentences
        w->action("langWWAct")->trigger();
        w->translationWorker().setHosts(
            server.baseUrl() + QStringLiteral("/ww"), server.baseUrl() + QStringLiteral("/cn"));
        record(doc, uyghur);
        QCOMPARE(shown.size(), uyghur.size()); // whole sentences only
        for (int i = 0; i < uyghur.size(); ++i)
            QCOMPARE(shown.at(i), qMakePair(i + 1, uyghur.at(i)));
    }

    void translateAgain()
    {
        // A failed re-translation keeps the row's translation; "Retry failed" asks again.
        round = 2;
        failing = true;
        QVERIFY(clickRow(doc->sourceView, 3));
        w->action("transelAct")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(doc->model()->at(3).state == DocumentModel::Failed, WaitMs);
        QStringList expected = translationsOf(uyghur, 1);
        QCOMPARE(doc->translations(), expected);
        failing = false;
        const int first = server.requestCount();
        w->action("retryFailedAct")->trigger();
        expected[3] = translationOf(uyghur.at(3), 2);
        QTRY_COMPARE_WITH_TIMEOUT(doc->translations(), expected, WaitMs);
        QCOMPARE(sentSince(first), QStringList(uyghur.at(3)));

        round = 3;
        w->action("tranallAct")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(doc->translationModel->stringList(), translationsOf(uyghur, 3), WaitMs);
        QCOMPARE(sentSince(first + 1), uyghur);
        QCOMPARE(chineseDoc->translations(), translationsOf(chinese, 1)); // the first document kept its own items
    }

    void insertEditAndDeleteItems()
    {
        QStringList sources = uyghur, translations = translationsOf(uyghur, 3);
        // Each step: row clicked (-1: none), command, the row it leaves blank (-1) or takes away.
        const struct { int click; const char *action; int blank, removed; } steps[] = { { 2, "addUpAct", 2, -1 },
            { -1, "addUpAct", -1, -1 }, // nothing current after an insert
            { 5, "addDownAct", 6, -1 }, { 6, "deleteAct", -1, 6 }, { 0, "deleteAct", -1, 0 } };
        for (const auto &step : steps) {
            QVERIFY(step.click < 0 || clickRow(doc->sourceView, step.click));
            w->action(step.action)->trigger();
            for (QStringList *list : { &sources, &translations })
                step.blank >= 0 ? list->insert(step.blank, QStringLiteral(" ")) : list->removeAt(step.removed);
            QCOMPARE(doc->sourceModel->stringList(), sources);
            QCOMPARE(doc->translationModel->stringList(), translations);
        }

        // The operator types a sentence into the inserted item and has it translated.
        QVERIFY(clickRow(doc->sourceView, 1));
        QTest::keyClick(doc->sourceView, Qt::Key_F2);
        auto *editor = doc->sourceView->findChild<LineEditorCreator *>();
        QVERIFY(editor);
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        sources[1] = typed;
        QTRY_COMPARE(doc->sources(), sources);
        round = 4;
        w->action("transelAct")->trigger(); // the edited row is still the current one
        translations[1] = translationOf(typed, 4);
        QTRY_COMPARE_WITH_TIMEOUT(doc->translations(), translations, WaitMs);
    }

    void readTranslationsAloud()
    {
        // A Chinese voice reads the translations of Uyghur speech from the clicked row down to the last.
        const QStringList translations = doc->translations();
        const int from = translations.size() - 3;
        const unsigned before = probe.spokenCount();
        QVERIFY(clickRow(doc->translationView, from));
        w->action("playAct")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(probe.spokenCount(), before + 3, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(probe.playerSpeaking(), 0, 20000);
        for (unsigned i = 0; i < 3; ++i)
            QCOMPARE(probe.spoken(before + i), QStringLiteral("cmn: ") + translations.at(from + int(i)));
        QCOMPARE(doc->translationView->currentIndex().row(), translations.size() - 1);
        // Started again on the last row that was read, it stays silent.
        w->action("playAct")->trigger();
        QVERIFY(!w->findChild<QTimer *>(QStringLiteral("playTimer"))->isActive());
    }

    void saveReopenAndExport()
    {
        const QStringList sources = doc->sources(), translations = doc->translations();
        const QString path = docs.filePath(QStringLiteral("talk.txt")), csv = docs.filePath(QStringLiteral("talk.csv"));
        // Saved under a name without extension: ".txt" is added.
        ModalAnswer::onNext([this](QWidget *modal) { answerFileDialog(modal, docs.filePath(QStringLiteral("talk"))); });
        w->action("saveAct")->trigger();
        QVERIFY(doc->currentFile() == path && !doc->isModified());
        QCOMPARE(readBytes(path), DocumentFile::encode(sources, translations));

        QString proposal;
        ModalAnswer::onNext([&](QWidget *modal) {
            proposal = static_cast<QFileDialog *>(modal)->selectedFiles().value(0);
            answerFileDialog(modal, csv);
        });
        w->action("saveAsTabAct")->trigger();
        QVERIFY(proposal == csv && doc->currentFile() == path);
        // The typed item's comma and quotes are quoted as the export's own tests show.
        QVERIFY(sources.contains(typed));
        QCOMPARE(readBytes(csv), DocumentFile::encodeCsv(sources, translations));

        w->action("closeAct")->trigger();
        QTRY_COMPARE(w->documentArea()->subWindowList().size(), 1);
        // The file first, then "Include translation text?" answered Yes.
        ModalAnswer::onNext([path](QWidget *modal) {
            ModalAnswer::clickButton(QStringLiteral("是"));
            answerFileDialog(modal, path);
        });
        w->action("openAct")->trigger();
        doc = w->activeMdiChild();
        QVERIFY(doc->currentFile() == path && !doc->isModified());
        QCOMPARE(doc->sourceModel->stringList(), sources);
        QCOMPARE(doc->translationModel->stringList(), translations);
    }

    void runningTexts()
    {
        const QStringList sources = doc->sources(), translations = doc->translations();
        const QString arabicComma = QStringLiteral("\u060C "), fullwidthComma = QStringLiteral("\uFF0C");
        const auto showAs = [this](const QString &choice, int mode) {
            ModalAnswer::onNext([choice](QWidget *modal) {
                for (const QString &text : { choice, QStringLiteral("确定") })
                    for (QAbstractButton *button : modal->findChildren<QAbstractButton *>())
                        if (button->text().remove(QLatin1Char('&')) == text)
                            button->click();
            });
            w->action("setShowEditAct")->trigger();
            QVERIFY(AppState::textMode == mode && doc->sourceView->isHidden() == (mode == 0)
                && doc->sourceEdit->isHidden() == (mode == 1));
        };

        showAs(QStringLiteral("每句用逗号隔开"), 0);
        // Uyghur is spoken: Arabic commas after the sentences, full-width ones after their translations.
        QCOMPARE(doc->sourceEdit->toPlainText(), joined(sources, arabicComma));
        QCOMPARE(doc->translationEdit->toPlainText(), joined(translations, fullwidthComma));
        QCOMPARE(chineseDoc->translationEdit->toPlainText(), joined(translationsOf(chinese, 1), fullwidthComma));

        // Spoken sentences and their translations run on in the texts; a translation that arrives
        // is followed by the recording's separator, not by the one of a rebuild.
        round = 5;
        record(doc, uyghur);
        QCOMPARE(doc->sourceEdit->toPlainText(), joined(sources + uyghur, arabicComma));
        QTRY_COMPARE(doc->translationEdit->toPlainText(),
            joined(translations, fullwidthComma) + joined(translationsOf(uyghur, 5), arabicComma));

        showAs(QStringLiteral("每句显示为一行"), 1);
        QCOMPARE(doc->sourceModel->stringList(), sources + uyghur);
        QCOMPARE(doc->translationModel->stringList(), translations + translationsOf(uyghur, 5));
    }
};

TOLVANE_TEST_MAIN(TestSpokenRoad)
#include "tst_spokenroad.moc"
