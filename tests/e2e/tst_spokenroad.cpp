// The road of a spoken sentence, walked as the operator walks it: recording in
// both languages, translation by a server on 127.0.0.1, re-translation, item
// editing, reading aloud, files, running texts and the interface language. The
// steps run in order on one main window and build on each other.

#include "../speech/standinprobe.h"
#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "buildconfig.h"
#include "documents/lineeditorcreator.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "testmain.h"
#include "translation/networkdialog.h"
#include "widgets/qmylineedit.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <utility>

namespace {

const int TranslationWaitMs = 30000;

QStringList transcript(const QString &name)
{
    QStringList sentences;
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return sentences;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString sentence = QString::fromUtf8(line).trimmed();
        if (!sentence.isEmpty())
            sentences.append(sentence);
    }
    return sentences;
}

// Every UTF-8 byte but A-Z a-z 0-9 - . _ ~ as %XX, as the servers expect it.
QByteArray percentEncoded(const QString &text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const uchar b = uchar(c);
        const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')
            || b == '-' || b == '.' || b == '_' || b == '~';
        if (unreserved)
            out.append(char(b));
        else
            out.append('%').append(QByteArray::number(b, 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

// The sentence as the server received it, in either request style.
QString sentText(const HttpTestServer::Request &request)
{
    QByteArray encoded;
    if (request.method == "POST") {
        for (const QByteArray &field : request.body.split('&')) {
            if (field.startsWith("content="))
                encoded = field.mid(8);
        }
    } else {
        const int at = request.target.indexOf("src_text=");
        encoded = at < 0 ? QByteArray() : request.target.mid(at + 9);
    }
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
}

QString translationOf(const QString &text, int round) { return QStringLiteral("译%1:").arg(round) + text; }

QStringList translationsOf(const QStringList &texts, int round)
{
    QStringList out;
    for (const QString &text : texts)
        out.append(translationOf(text, round));
    return out;
}

QString letterCount(const QStringList &items)
{
    int letters = 0;
    for (const QString &item : items)
        letters += item.size() + 1;
    return QStringLiteral("总字数：%1").arg(letters);
}

QString joined(const QStringList &items, const QString &separator)
{
    QString text;
    for (const QString &item : items)
        text += item + separator;
    return text;
}

// Clicks a row as the operator does; false when the click did not make it current.
bool clickRow(QListView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QCoreApplication::processEvents();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
    return view->currentIndex().row() == row;
}

// Answers Qt's own file dialog with a name. Its name field is filled directly:
// selectFile() leaves the field alone while it has the focus.
bool answerFileDialog(QWidget *modal, const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog) {
        modal->close();
        return false;
    }
    dialog->selectFile(path);
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    static_cast<QDialog *>(dialog)->accept(); // QFileDialog's own accept checks the name
    return true;
}

void clickText(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            button->click();
            return;
        }
    }
    qWarning("no button '%s'", qPrintable(text));
}

QString menuTitles(MainWindow *w)
{
    QStringList titles;
    for (QMenu *menu :
        { w->findChild<QMenu *>(QStringLiteral("fileMenu")), w->findChild<QMenu *>(QStringLiteral("editMenu")), w->findChild<QMenu *>(QStringLiteral("actionMenu")), w->findChild<QMenu *>(QStringLiteral("langMenu")), w->findChild<QMenu *>(QStringLiteral("settingMenu")), w->findChild<QMenu *>(QStringLiteral("windowMenu")), w->findChild<QMenu *>(QStringLiteral("helpMenu")) })
        titles.append(menu->title());
    return titles.join(QLatin1Char('|'));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The texts a source list showed, one entry per change of a row: the row count
// and the changed row's text.
struct ShownRows
{
    QList<QPair<int, QString>> changes;
    QObject context;

    explicit ShownRows(QAbstractItemModel *model)
    {
        QObject::connect(model, &QAbstractItemModel::dataChanged, &context,
            [this, model](const QModelIndex &, const QModelIndex &bottomRight) {
                changes.append({ model->rowCount(), bottomRight.data().toString() });
            });
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &context,
            [this, model](const QModelIndex &, int, int last) {
                changes.append({ model->rowCount(), model->index(last, 0).data().toString() });
            });
    }

    bool showed(int rows, const QString &text) const { return changes.contains({ rows, text }); }

    // A proper beginning of sentence shown as the last of rows items.
    bool showedProvisional(int rows, const QString &sentence) const
    {
        for (const auto &change : changes) {
            if (change.first == rows && !change.second.isEmpty() && change.second.size() < sentence.size()
                && sentence.startsWith(change.second))
                return true;
        }
        return false;
    }
};

}

class TestSpokenRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void recordChinesePhrases();
    void recordUyghurSentences();
    void translateAgain();
    void insertEditAndDeleteItems();
    void readTranslationsAloud();
    void saveReopenAndExport();
    void runningTextsUnderEnglishInterface();

private:
    void guardAgainstUnansweredModals();
    QByteArray standinText(const char *library, const char *function);
    QList<HttpTestServer::Request> requestsFrom(int first) const { return server->requests().mid(first); }

    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<WindowFixture> f;
    StandinProbe probe;
    QTemporaryDir docs;
    int round = 1;
    QStringList answers;
    QStringList chinese;
    QStringList uyghur;
    MdiChild *chineseDoc = nullptr;
    MdiChild *uyghurDoc = nullptr;
    const QString typed = QStringLiteral("ياخشى, \"دوست\"");
    QStringList unansweredModals;
};

// A box the road did not expect would wait for an answer until the test times
// out; it is closed instead and reported by cleanup().
void TestSpokenRoad::guardAgainstUnansweredModals()
{
    auto *guard = new QTimer(this);
    auto seen = std::make_shared<QPointer<QWidget>>();
    auto since = std::make_shared<QElapsedTimer>();
    connect(guard, &QTimer::timeout, this, [this, seen, since]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != *seen) {
            *seen = modal;
            since->start();
            return;
        }
        if (modal && since->elapsed() > 3000) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            unansweredModals.append(modal->metaObject()->className() + QStringLiteral(" ")
                + modal->windowTitle() + QStringLiteral(": ") + (box ? box->text() : QString()));
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    guard->start(100);
}

QByteArray TestSpokenRoad::standinText(const char *library, const char *function)
{
    QLibrary lib(StandinProbe::path(library));
    using Function = const char *(*)();
    const auto call = reinterpret_cast<Function>(lib.resolve(function));
    return call ? QByteArray(call()) : QByteArray("<missing>");
}

void TestSpokenRoad::initTestCase()
{
    qputenv("TOLVANE_SDK_PACE_MS", "5");
    qunsetenv("TOLVANE_SDK_TRANSCRIPT");
    qunsetenv("TOLVANE_SDK_SCRIPT");
    QVERIFY(probe.load());
    QVERIFY(docs.isValid());

    chinese = transcript(QStringLiteral("transcript_cn.txt"));
    uyghur = transcript(QStringLiteral("transcript_ug.txt"));
    // A road over empty transcripts would pass without recording anything.
    QVERIFY(chinese.size() >= 3);
    QVERIFY(uyghur.size() >= 12);

    server = std::make_unique<HttpTestServer>();
    server->setHandler([this](const HttpTestServer::Request &request) {
        const QString answer = translationOf(sentText(request), round);
        answers.append(answer);
        return HttpTestServer::Reply { 200, HttpTestServer::translationReply(answer), 0 };
    });

    f = std::make_unique<WindowFixture>();
    QVERIFY(f->window);
    f->window->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server->port());
    guardAgainstUnansweredModals();
}

void TestSpokenRoad::cleanupTestCase()
{
    f.reset();
    server.reset();
    qunsetenv("TOLVANE_SDK_PACE_MS");
    qunsetenv("TOLVANE_SDK_TRANSCRIPT");
}

void TestSpokenRoad::cleanup()
{
    ModalAnswer::reset();
    const QStringList unanswered = std::exchange(unansweredModals, QStringList());
    QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join(QStringLiteral("; "))));
}

void TestSpokenRoad::recordChinesePhrases()
{
    MainWindow *w = f->window;
    chineseDoc = w->activeMdiChild();
    QVERIFY(chineseDoc);
    MdiChild *doc = chineseDoc;
    QCOMPARE(doc->currentFile(), QStringLiteral("document1.txt"));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("汉-->维翻译"));
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentIndex(), 0);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("未开始"));
    ShownRows shown(doc->sourceModel);

    w->action("runAct")->trigger();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("正在录音..."));
    QVERIFY(!w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled());
    QCOMPARE(iconImage(w->action("runAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/Run1.png"))));
    QCOMPARE(iconImage(w->action("stopAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/Stop.png"))));
    QCOMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common, capkey=asr.cloud.freetalk,realtime=rt,continuous=yes"));
    QCOMPARE(probe.recorderRunning(), 1);

    // The last provisional text is the whole sentence: the operator stops once its translation shows.
    QTRY_COMPARE_WITH_TIMEOUT(doc->translationModel->stringList().size(), chinese.size(), TranslationWaitMs);
    w->action("stopAct")->trigger();
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("未开始"));
    QVERIFY(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled());
    QCOMPARE(probe.recorderRunning(), 0);
    QCOMPARE(doc->sources(), chinese);

    // Each sentence was first shown growing as the provisional last item, then settled.
    for (int i = 0; i < chinese.size(); ++i) {
        QVERIFY2(shown.showedProvisional(i + 1, chinese.at(i)), qPrintable(chinese.at(i)));
        QVERIFY2(shown.showed(i + 1, chinese.at(i)), qPrintable(chinese.at(i)));
    }
    QVERIFY(doc->isModified());
    QCOMPARE(w->statusBar()->currentMessage(), letterCount(chinese));

    QCOMPARE(doc->translationModel->stringList(), answers);
    QCOMPARE(doc->translationModel->stringList(), translationsOf(chinese, 1));
    QCOMPARE(doc->translations(), translationsOf(chinese, 1));

    // Only settled sentences reach the server, in the order spoken, never a provisional one.
    const QList<HttpTestServer::Request> requests = server->requests();
    QCOMPARE(requests.size(), chinese.size());
    for (int i = 0; i < requests.size(); ++i) {
        const HttpTestServer::Request &r = requests.at(i);
        QCOMPARE(r.method, QByteArray("POST"));
        QCOMPARE(r.target, QByteArray("/trans/ts/rq?from=zh&to=ww"));
        QCOMPARE(
            r.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded; charset=UTF-8"));
        QCOMPARE(r.body,
            QByteArray("content=" + percentEncoded(chinese.at(i))
                + "&appkey=" TOLVANE_TRANSLATE_APPKEY "&appsecret=" TOLVANE_TRANSLATE_SECRET));
    }
}

void TestSpokenRoad::recordUyghurSentences()
{
    QVERIFY(chineseDoc);
    MainWindow *w = f->window;
    w->action("newAct")->trigger();
    uyghurDoc = w->activeMdiChild();
    QVERIFY(uyghurDoc && uyghurDoc != chineseDoc);
    MdiChild *doc = uyghurDoc;
    QCOMPARE(doc->currentFile(), QStringLiteral("document2.txt"));

    w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1);
    QVERIFY(!AppState::phraseMode);
    QCOMPARE(Settings::readString(SettingsKeys::Realtime, QString()), QStringLiteral("0"));
    w->action("langWWAct")->trigger();
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("维-->汉翻译"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("directionLabel"))->text(), QStringLiteral("维-->汉"));
    QCOMPARE(Settings::readInt(SettingsKeys::Lang, QStringLiteral("0")), 1);

    // Our own translation servers, entered in the server dialog; a path tells them apart.
    const QString hostWW = server->baseUrl() + QStringLiteral("/ww");
    const QString hostCN = server->baseUrl() + QStringLiteral("/cn");
    bool groupHiddenAtFirst = false;
    ModalAnswer::onNext([&](QWidget *modal) {
        auto *dialog = qobject_cast<NetworkDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        groupHiddenAtFirst = dialog->otherServerGroup()->isHidden();
        dialog->otherServerButton()->click();
        for (QMyLineEdit *edit : { dialog->translateHostWWEdit(), dialog->translateHostCNEdit() }) {
            edit->clear();
            QTest::keyClicks(edit, edit == dialog->translateHostWWEdit() ? hostWW : hostCN);
        }
        clickText(dialog, QStringLiteral("确定"));
    });
    w->action("setNetworkAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QVERIFY(groupHiddenAtFirst);
    QCOMPARE(AppState::translateHostWW, hostWW);
    QCOMPARE(AppState::translateHostCN, hostCN);
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, QString()), hostWW);
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostCN, QString()), hostCN);
    QVERIFY(AppState::voiceHost.isEmpty());

    ShownRows shown(doc->sourceModel);
    const int first = server->requestCount();
    answers.clear();
    w->action("runAct")->trigger();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=yes,continuous=yes"));
    QVERIFY(
        standinText("hci_asr_recorder", "hci_standin_recorder_source").endsWith("/data/transcript_ug.txt"));
    QTRY_COMPARE_WITH_TIMEOUT(doc->translationModel->stringList().size(), uyghur.size(), TranslationWaitMs);
    w->action("stopAct")->trigger();
    QCOMPARE(doc->sourceModel->stringList(), uyghur);
    QCOMPARE(AppState::RecordState, int(AppState::Idle));

    // Sentence mode shows whole sentences only.
    for (const auto &change : shown.changes)
        QCOMPARE(change.second, uyghur.value(change.first - 1));
    QCOMPARE(shown.changes.size(), uyghur.size());
    QCOMPARE(w->statusBar()->currentMessage(), letterCount(uyghur));

    QCOMPARE(doc->translationModel->stringList(), answers);
    QCOMPARE(doc->translations(), translationsOf(uyghur, 1));

    const QList<HttpTestServer::Request> requests = requestsFrom(first);
    QCOMPARE(requests.size(), uyghur.size());
    for (int i = 0; i < requests.size(); ++i) {
        QCOMPARE(requests.at(i).method, QByteArray("GET"));
        QCOMPARE(requests.at(i).target,
            QByteArray(
                "/cn/NiuTransServer/translation?from=uy&to=zh&src_text=" + percentEncoded(uyghur.at(i))));
        QVERIFY(requests.at(i).body.isEmpty());
    }
    // The first document kept its own items.
    QCOMPARE(chineseDoc->sources(), chinese);
    QCOMPARE(chineseDoc->translations(), translationsOf(chinese, 1));
}

void TestSpokenRoad::translateAgain()
{
    QVERIFY(uyghurDoc);
    MainWindow *w = f->window;
    MdiChild *doc = uyghurDoc;
    QCOMPARE(w->activeMdiChild(), doc);

    round = 2;
    int first = server->requestCount();
    QVERIFY(clickRow(doc->sourceView, 3));
    w->action("transelAct")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(
        doc->translationModel->stringList().value(3), translationOf(uyghur.at(3), 2), TranslationWaitMs);
    QStringList expected = translationsOf(uyghur, 1);
    expected[3] = translationOf(uyghur.at(3), 2);
    QCOMPARE(doc->translationModel->stringList(), expected);
    QCOMPARE(doc->translations(), expected);
    QCOMPARE(server->requestCount(), first + 1);
    QCOMPARE(sentText(server->requests().at(first)), uyghur.at(3));
    QVERIFY(doc->isModified());

    round = 3;
    first = server->requestCount();
    w->action("tranallAct")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(
        doc->translationModel->stringList(), translationsOf(uyghur, 3), TranslationWaitMs);
    QCOMPARE(doc->translations(), translationsOf(uyghur, 3));
    QStringList sent;
    for (const HttpTestServer::Request &r : requestsFrom(first)) {
        QVERIFY2(r.target.startsWith("/cn/NiuTransServer/translation?from=uy&to=zh&src_text="),
            r.target.constData());
        sent.append(sentText(r));
    }
    QCOMPARE(sent, uyghur);
    QCOMPARE(chineseDoc->translations(), translationsOf(chinese, 1));
}

void TestSpokenRoad::insertEditAndDeleteItems()
{
    QVERIFY(uyghurDoc);
    MainWindow *w = f->window;
    MdiChild *doc = uyghurDoc;
    QStringList sources = uyghur;
    QStringList translations = translationsOf(uyghur, 3);
    const QString blank = QStringLiteral(" ");

    QVERIFY(clickRow(doc->sourceView, 2));
    w->action("addUpAct")->trigger();
    sources.insert(2, blank);
    translations.insert(2, blank);
    QCOMPARE(doc->sourceModel->stringList(), sources);
    QCOMPARE(doc->translationModel->stringList(), translations);
    // The insertion leaves no current item, so a second press inserts nothing.
    QCOMPARE(doc->sourceView->currentIndex().row(), -1);
    w->action("addUpAct")->trigger();
    QCOMPARE(doc->sourceModel->stringList(), sources);

    QVERIFY(clickRow(doc->sourceView, 5));
    w->action("addDownAct")->trigger();
    sources.insert(6, blank);
    translations.insert(6, blank);
    QCOMPARE(doc->sourceModel->stringList(), sources);
    QCOMPARE(doc->translationModel->stringList(), translations);

    QVERIFY(clickRow(doc->sourceView, 6));
    w->action("deleteAct")->trigger();
    sources.removeAt(6);
    translations.removeAt(6);
    QCOMPARE(doc->sourceModel->stringList(), sources);
    QCOMPARE(doc->translationModel->stringList(), translations);
    QCOMPARE(w->statusBar()->currentMessage(), letterCount(sources));

    // The operator types a sentence into the inserted item and has it translated.
    QVERIFY(clickRow(doc->sourceView, 2));
    QTest::keyClick(doc->sourceView, Qt::Key_F2);
    auto *editor = doc->sourceView->findChild<LineEditorCreator *>();
    QVERIFY(editor);
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    sources[2] = typed;
    QTRY_COMPARE(doc->sources(), sources);
    QCOMPARE(doc->sourceModel->stringList(), sources);

    round = 4;
    const int first = server->requestCount();
    QVERIFY(clickRow(doc->sourceView, 2));
    w->action("transelAct")->trigger();
    translations[2] = translationOf(typed, 4);
    QTRY_COMPARE_WITH_TIMEOUT(doc->translationModel->stringList(), translations, TranslationWaitMs);
    QCOMPARE(sentText(server->requests().value(first)), typed);

    QVERIFY(clickRow(doc->sourceView, 0));
    w->action("deleteAct")->trigger();
    sources.removeAt(0);
    translations.removeAt(0);
    QCOMPARE(doc->sourceModel->stringList(), sources);
    QCOMPARE(doc->translationModel->stringList(), translations);
    QCOMPARE(doc->sources(), sources);
    QCOMPARE(doc->translations(), translations);
    QCOMPARE(w->statusBar()->currentMessage(), letterCount(sources));
    QVERIFY(doc->isModified());
}

void TestSpokenRoad::readTranslationsAloud()
{
    QVERIFY(uyghurDoc);
    MainWindow *w = f->window;
    MdiChild *doc = uyghurDoc;
    const QStringList translations = doc->translationModel->stringList();
    const int from = translations.size() - 3;
    QVERIFY(from > 0);

    QVERIFY(clickRow(doc->translationView, from));
    QList<int> readRows;
    QObject watch;
    connect(doc->translationView->selectionModel(), &QItemSelectionModel::currentRowChanged, &watch,
        [&readRows](const QModelIndex &current) { readRows.append(current.row()); });

    w->action("playAct")->trigger();
    QVERIFY(w->findChild<QTimer *>(QStringLiteral("playTimer"))->isActive());
    QCOMPARE(w->findChild<QTimer *>(QStringLiteral("playTimer"))->interval(), 1000);
    QCOMPARE(iconImage(w->action("playAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/Stop.png"))));
    QCOMPARE(QString::fromUtf8(probe.playerText()), translations.at(from));
    // Uyghur speech is translated into Chinese, so a Chinese voice reads it.
    QCOMPARE(probe.playerConfig(),
        QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.wangjing"));
    QCOMPARE(standinText("hci_tts_player", "hci_standin_player_last_voice"), QByteArray("cmn"));

    QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(probe.playerText()), translations.last(), 20000);
    QCOMPARE(readRows, (QList<int> { from + 1, from + 2 }));
    QCOMPARE(doc->translationView->currentIndex().row(), translations.size() - 1);
    QTRY_COMPARE_WITH_TIMEOUT(probe.playerSpeaking(), 0, 20000);

    w->action("playAct")->trigger();
    QVERIFY(!w->findChild<QTimer *>(QStringLiteral("playTimer"))->isActive());
    QCOMPARE(iconImage(w->action("playAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/play.png"))));
    QCOMPARE(QString::fromUtf8(probe.playerText()), translations.last());
    QCOMPARE(doc->translationModel->stringList(), translations);
}

void TestSpokenRoad::saveReopenAndExport()
{
    QVERIFY(uyghurDoc);
    MainWindow *w = f->window;
    MdiChild *doc = uyghurDoc;
    const QStringList sources = doc->sourceModel->stringList();
    const QStringList translations = doc->translationModel->stringList();
    const QString path = docs.filePath(QStringLiteral("talk.txt"));

    // Saved under a name without extension: ".txt" is added.
    ModalAnswer::onNext(
        [this](QWidget *modal) { answerFileDialog(modal, docs.filePath(QStringLiteral("talk"))); });
    w->action("saveAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("文件已保存"));
    QCOMPARE(doc->currentFile(), path);
    QCOMPARE(doc->windowTitle(), QStringLiteral("talk.txt"));
    QVERIFY(!doc->isModified());
    QByteArray document("\xEF\xBB\xBF");
    for (int i = 0; i < sources.size(); ++i)
        document += sources.at(i).toUtf8() + '\n' + translations.at(i).toUtf8() + '\n';
    QCOMPARE(readBytes(path), document);

    QString proposal;
    ModalAnswer::onNext([this, &proposal](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            proposal = dialog->selectedFiles().value(0);
        answerFileDialog(modal, docs.filePath(QStringLiteral("talk.csv")));
    });
    w->action("saveAsTabAct")->trigger();
    QCOMPARE(proposal, docs.filePath(QStringLiteral("talk.csv")));
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("文件已保存"));
    // Only the typed item holds a comma and quotes, so only its fields are quoted.
    QByteArray csv("\xEF\xBB\xBF");
    for (int i = 0; i < sources.size(); ++i) {
        if (sources.at(i) == typed)
            csv += QStringLiteral("\"ياخشى, \"\"دوست\"\"\",\"译4:ياخشى, \"\"دوست\"\"\"\n").toUtf8();
        else
            csv += sources.at(i).toUtf8() + ',' + translations.at(i).toUtf8() + '\n';
    }
    QVERIFY(sources.contains(typed));
    QCOMPARE(readBytes(docs.filePath(QStringLiteral("talk.csv"))), csv);
    QCOMPARE(doc->currentFile(), path);

    w->action("closeAct")->trigger();
    QTRY_COMPARE(w->documentArea()->subWindowList().size(), 1);
    uyghurDoc = nullptr;
    QCOMPARE(w->activeMdiChild(), chineseDoc);

    // The file first, then "Include translation text?" answered Yes.
    ModalAnswer::onNext([path](QWidget *modal) {
        ModalAnswer::clickButton(QStringLiteral("是"));
        answerFileDialog(modal, path);
    });
    w->action("openAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 4);
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("文件是否包含翻译文本？"));
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
    MdiChild *reopened = w->activeMdiChild();
    QVERIFY(reopened && reopened != chineseDoc);
    uyghurDoc = reopened;
    QCOMPARE(w->documentArea()->subWindowList().size(), 2);
    QCOMPARE(reopened->currentFile(), path);
    QCOMPARE(reopened->sourceModel->stringList(), sources);
    QCOMPARE(reopened->translationModel->stringList(), translations);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("文件已打开"));
    QVERIFY(!reopened->isModified());
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("维-->汉翻译 - [talk.txt]"));
    QCOMPARE(Settings::readString(SettingsKeys::BackupDir, QString()), docs.path());
}

void TestSpokenRoad::runningTextsUnderEnglishInterface()
{
    QVERIFY(uyghurDoc);
    MainWindow *w = f->window;
    MdiChild *doc = uyghurDoc;
    const QStringList sources = doc->sourceModel->stringList();
    const QStringList translations = doc->translationModel->stringList();
    const QString arabicComma = QStringLiteral("\u060C ");
    const QString fullwidthComma = QStringLiteral("\uFF0C");

    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(1);
    // The catalogue's change reaches the window through the event loop.
    QTRY_COMPARE(menuTitles(w), QStringLiteral("&File|&Edit|&Action|&Lang|&Setting|&Window|&Help"));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("Uygur-->Chinese Translator"));
    QCOMPARE(w->action("runAct")->text(), QStringLiteral("Record"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("norecording"));
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentText(), QStringLiteral("Sentence Mode"));
    QVERIFY(!AppState::phraseMode);
    QCOMPARE(w->settingsPath(), Settings::englishPath());

    ModalAnswer::onNext([](QWidget *modal) {
        clickText(modal, QStringLiteral("Comma separate"));
        clickText(modal, QStringLiteral("OK"));
    });
    w->action("setShowEditAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(AppState::textMode, 0);
    QCOMPARE(Settings::readInt(SettingsKeys::TextMode, QStringLiteral("1"), Settings::englishPath()), 0);
    for (MdiChild *document : { chineseDoc, doc }) {
        QVERIFY(document->sourceView->isHidden());
        QVERIFY(document->translationView->isHidden());
        QVERIFY(!document->sourceEdit->isHidden());
        QVERIFY(!document->translationEdit->isHidden());
    }
    // Uyghur is spoken: Arabic commas after the sentences, full-width ones after their translations.
    QCOMPARE(doc->sourceEdit->toPlainText(), joined(sources, arabicComma));
    QCOMPARE(doc->translationEdit->toPlainText(), joined(translations, fullwidthComma));
    QCOMPARE(chineseDoc->sourceEdit->toPlainText(), joined(chinese, arabicComma));
    QCOMPARE(chineseDoc->translationEdit->toPlainText(), joined(translationsOf(chinese, 1), fullwidthComma));
    QCOMPARE(doc->model()->runningSource(), doc->sourceEdit->toPlainText());
    QCOMPARE(doc->model()->runningTranslation(), doc->translationEdit->toPlainText());
    QCOMPARE(w->statusBar()->currentMessage(),
        QStringLiteral("Total Letter%1").arg(doc->sourceEdit->toPlainText().size()));

    // The item commands refuse in running-text mode.
    ModalAnswer::clickStandard(QMessageBox::Ok);
    w->action("tranallAct")->trigger();
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("Please switch to one sentence per line"));
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("Application"));

    // Spoken sentences and their translations run on in the texts.
    QTemporaryDir talk;
    QFile file(talk.filePath(QStringLiteral("two.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("%1\n%2\n").arg(uyghur.at(0), uyghur.at(1)).toUtf8());
    file.close();
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(file.fileName()));
    round = 5;
    w->action("runAct")->trigger();
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("recording"));
    const QString spoken = joined(sources, arabicComma) + joined(uyghur.mid(0, 2), arabicComma);
    QTRY_COMPARE_WITH_TIMEOUT(doc->sourceEdit->toPlainText(), spoken, TranslationWaitMs);
    w->action("stopAct")->trigger();
    qunsetenv("TOLVANE_SDK_TRANSCRIPT");
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), QStringLiteral("norecording"));
    // A translation that arrives is followed by the recording's separator, not by the one of a rebuild.
    const QString running
        = joined(translations, fullwidthComma) + joined(translationsOf(uyghur.mid(0, 2), 5), arabicComma);
    QTRY_COMPARE_WITH_TIMEOUT(doc->translationEdit->toPlainText(), running, TranslationWaitMs);
    QCOMPARE(doc->sources(), sources + uyghur.mid(0, 2));
    QCOMPARE(doc->translations(), translations + translationsOf(uyghur.mid(0, 2), 5));

    ModalAnswer::onNext([](QWidget *modal) {
        clickText(modal, QStringLiteral("one sentence per line"));
        clickText(modal, QStringLiteral("OK"));
    });
    w->action("setShowEditAct")->trigger();
    QCOMPARE(AppState::textMode, 1);
    QVERIFY(!doc->sourceView->isHidden());
    QVERIFY(doc->sourceEdit->isHidden());
    QCOMPARE(doc->sourceModel->stringList(), sources + uyghur.mid(0, 2));
    QCOMPARE(doc->translationModel->stringList(), translations + translationsOf(uyghur.mid(0, 2), 5));

    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(0);
    QTRY_COMPARE(menuTitles(w), QStringLiteral("文件|编辑|录音操作|翻译模式|设置|窗口|帮助"));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("维-->汉翻译"));
    QCOMPARE(w->action("runAct")->text(), QStringLiteral("录音"));
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentText(), QStringLiteral("整句实时识别"));
    QCOMPARE(w->settingsPath(), Settings::mainPath());
    QCOMPARE(Settings::readInt(SettingsKeys::UiLang, QStringLiteral("1"), Settings::mainPath()), 0);
}

TOLVANE_TEST_MAIN(TestSpokenRoad)
#include "tst_spokenroad.moc"
