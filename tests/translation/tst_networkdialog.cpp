#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "testmain.h"
#include "translation/networkdialog.h"
#include "widgets/qmylineedit.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
const QString restartQuestion = QStringLiteral("要重启程序才能生效，要重启吗？");

bool clickButton(QWidget *parent, const QString &text)
{
    const auto buttons = parent->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        if (b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            return true;
        }
    }
    qWarning("no button '%s'", qPrintable(text));
    return false;
}

struct Hosts
{
    QString voice;
    QString ww;
    QString cn;
};

// Answers the next NetworkDialog: chooses the server, types the hosts and presses "确定".
void answerNetworkDialog(bool otherServer, const Hosts &typed)
{
    ModalAnswer::onNext([otherServer, typed](QWidget *modal) {
        auto *dialog = qobject_cast<NetworkDialog *>(modal);
        if (!dialog) {
            qWarning("not the network dialog");
            modal->close();
            return;
        }
        (otherServer ? dialog->otherServerButton() : dialog->defaultServerButton())->click();
        dialog->voiceHostEdit()->setText(typed.voice);
        dialog->translateHostWWEdit()->setText(typed.ww);
        dialog->translateHostCNEdit()->setText(typed.cn);
        clickButton(dialog, QStringLiteral("确定"));
    });
}

// Answers every message box that appears while it lives with the button labelled
// answer and remembers it, so that an unexpected box fails the test instead of
// blocking it. With rejectDialogs it also closes any other modal dialog.
class MessageBoxWatch : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget *parent = nullptr;
    };

    explicit MessageBoxWatch(const QString &answer, bool rejectDialogs = false)
        : MessageBoxWatch(QStringList { answer }, rejectDialogs)
    { }

    // The boxes get the answers in turn; the last one answers any further box.
    explicit MessageBoxWatch(const QStringList &answers, bool rejectDialogs = false)
        : answers(answers)
        , rejectDialogs(rejectDialogs)
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, &MessageBoxWatch::poll);
        timer.start();
    }

    QList<Box> boxes;
    QStringList dialogs;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || handled.contains(modal))
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            handled << box;
            boxes << Box { box->windowTitle(), box->text(), box->icon(), box->parentWidget() };
            if (!clickButton(box, answers.value(boxes.size() - 1, answers.last())))
                box->close();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && rejectDialogs) {
            handled << dialog;
            dialogs << dialog->windowTitle();
            dialog->reject();
        }
    }

    QStringList answers;
    bool rejectDialogs;
    QTimer timer;
    QList<QPointer<QWidget>> handled;
};
}

Q_DECLARE_METATYPE(Hosts)

class TestNetworkDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void opening_data();
    void opening();
    void accept_data();
    void accept();
    void cancelKeepsHosts();

    void windowStoresHosts_data();
    void windowStoresHosts();
    void windowUsesCurrentSettingsFile();
    void newTranslationHostUsedByNextRequest();
    void restartYesClosesDocumentsThenStartsAgain_data();
    void restartYesClosesDocumentsThenStartsAgain();
    void nothingWhileRecording();
};

void TestNetworkDialog::cleanup()
{
    ModalAnswer::reset();
    WindowFixture::resetState();
}

void TestNetworkDialog::opening_data()
{
    QTest::addColumn<Hosts>("given");
    QTest::addColumn<bool>("otherServer");

    const QString voice = QStringLiteral("http://10.0.0.5:8880");
    const QString ww = QStringLiteral("http://10.0.0.6:8080");
    const QString cn = QStringLiteral("http://10.0.0.7:8080");
    QTest::newRow("translation hosts without voice host") << Hosts { QString(), ww, cn } << false;
    QTest::newRow("all three") << Hosts { voice, ww, cn } << true;
}

void TestNetworkDialog::opening()
{
    QFETCH(Hosts, given);
    QFETCH(bool, otherServer);

    NetworkDialog dialog(given.voice, given.ww, given.cn);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Network"));
    QCOMPARE(dialog.otherServerButton()->isChecked(), otherServer);
    QCOMPARE(dialog.defaultServerButton()->isChecked(), !otherServer);
    QCOMPARE(dialog.otherServerGroup()->isVisible(), otherServer);
    QCOMPARE(dialog.voiceHostEdit()->text(), given.voice);
    QCOMPARE(dialog.translateHostWWEdit()->text(), given.ww);
    QCOMPARE(dialog.translateHostCNEdit()->text(), given.cn);
}

void TestNetworkDialog::accept_data()
{
    QTest::addColumn<bool>("otherServer");
    QTest::addColumn<Hosts>("typed");
    QTest::addColumn<Hosts>("expected");

    QTest::newRow("other server, white space removed")
        << true
        << Hosts { QStringLiteral("  10.1.1.1:8880\t"), QStringLiteral(" http://ww:1 "),
               QStringLiteral("http://cn:2  ") }
        << Hosts { QStringLiteral("10.1.1.1:8880"), QStringLiteral("http://ww:1"),
               QStringLiteral("http://cn:2") };
    QTest::newRow("default server empties all three")
        << false
        << Hosts { QStringLiteral("10.1.1.1"), QStringLiteral("http://ww"), QStringLiteral("http://cn") }
        << Hosts {};
}

void TestNetworkDialog::accept()
{
    QFETCH(bool, otherServer);
    QFETCH(Hosts, typed);
    QFETCH(Hosts, expected);

    AppState::voiceHost = QStringLiteral("old voice");
    AppState::translateHostWW = QStringLiteral("old ww");
    AppState::translateHostCN = QStringLiteral("old cn");
    NetworkDialog dialog(QStringLiteral("stored"), QString(), QString());
    (otherServer ? dialog.otherServerButton() : dialog.defaultServerButton())->click();
    dialog.voiceHostEdit()->setText(typed.voice);
    dialog.translateHostWWEdit()->setText(typed.ww);
    dialog.translateHostCNEdit()->setText(typed.cn);

    ModalAnswer::clickButton(QStringLiteral("OK"));
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(AppState::voiceHost, expected.voice);
    QCOMPARE(AppState::translateHostWW, expected.ww);
    QCOMPARE(AppState::translateHostCN, expected.cn);
}

void TestNetworkDialog::cancelKeepsHosts()
{
    AppState::voiceHost = QStringLiteral("10.1.1.1");
    AppState::translateHostWW = QStringLiteral("http://ww");
    NetworkDialog dialog(AppState::voiceHost, AppState::translateHostWW, QString());
    dialog.voiceHostEdit()->setText(QStringLiteral("10.9.9.9"));
    dialog.defaultServerButton()->click();

    ModalAnswer::clickButton(QStringLiteral("Cancel"));
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(AppState::voiceHost, QStringLiteral("10.1.1.1"));
    QCOMPARE(AppState::translateHostWW, QStringLiteral("http://ww"));
    QCOMPARE(AppState::translateHostCN, QString());
}

void TestNetworkDialog::windowStoresHosts_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("otherServer");
    QTest::addColumn<Hosts>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<Hosts>("stored");

    const QByteArray ownVoice(
        "[action]\nVoiceHost=10.0.0.5:8880\nTranslateHostWW=http://ww\nTranslateHostCN=http://cn\n");
    QTest::newRow("translation host changed")
        << ownVoice << true
        << Hosts { QStringLiteral("10.0.0.5:8880"), QStringLiteral("http://ww2"),
               QStringLiteral("http://cn") }
        << false
        << Hosts { QStringLiteral("10.0.0.5:8880"), QStringLiteral("http://ww2"),
               QStringLiteral("http://cn") };
    QTest::newRow("voice host changed")
        << ownVoice << true
        << Hosts { QStringLiteral("10.0.0.9:8880"), QStringLiteral("http://ww"), QStringLiteral("http://cn") }
        << true
        << Hosts { QStringLiteral("10.0.0.9:8880"), QStringLiteral("http://ww"),
               QStringLiteral("http://cn") };
    QTest::newRow("default server after own servers")
        << ownVoice << false
        << Hosts { QStringLiteral("ignored"), QStringLiteral("ignored"), QStringLiteral("ignored") } << true
        << Hosts {};
}

void TestNetworkDialog::windowStoresHosts()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, otherServer);
    QFETCH(Hosts, typed);
    QFETCH(bool, asked);
    QFETCH(Hosts, stored);

    WindowFixture f(ini);
    MessageBoxWatch watch(QStringLiteral("否"));
    answerNetworkDialog(otherServer, typed);
    f.window->setNetworkActItem();
    QCOMPARE(ModalAnswer::answeredCount(), 1);

    QCOMPARE(watch.boxes.size(), asked ? 1 : 0);
    if (asked) {
        const MessageBoxWatch::Box box = watch.boxes.first();
        QCOMPARE(box.text, restartQuestion);
        QCOMPARE(box.title, QStringLiteral("工具"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.parent, static_cast<QWidget *>(nullptr));
    }
    // "No" keeps the new values, in the file and in memory, and the program running.
    QVERIFY(f.window->isVisible());
    QVERIFY(!AppState::exitConfirmed);
    QCOMPARE(AppState::voiceHost, stored.voice);
    QCOMPARE(AppState::translateHostWW, stored.ww);
    QCOMPARE(AppState::translateHostCN, stored.cn);
    const QString file = Settings::mainPath();
    const QString absent = QStringLiteral("<absent>");
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString(), file), stored.voice);
    // Both translation hosts are written on every accept, empty ones too.
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, absent, file), stored.ww);
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostCN, absent, file), stored.cn);
}

void TestNetworkDialog::windowUsesCurrentSettingsFile()
{
    // Under the English interface the hosts come from and go to Tolvaneen.ini.
    WindowFixture f("[action]\nuilang=1\nVoiceHost=main.example\n", "[action]\nVoiceHost=english.example\n");
    QString shown;
    ModalAnswer::onNext([&shown](QWidget *modal) {
        auto *dialog = qobject_cast<NetworkDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        shown = dialog->voiceHostEdit()->text();
        dialog->translateHostWWEdit()->setText(QStringLiteral("http://ww"));
        clickButton(dialog, QStringLiteral("OK"));
    });
    MessageBoxWatch watch(QStringLiteral("No"));
    f.window->setNetworkActItem();

    QCOMPARE(shown, QStringLiteral("english.example"));
    QCOMPARE(watch.boxes.size(), 0);
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, QString(), Settings::englishPath()),
        QStringLiteral("http://ww"));
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, QString(), Settings::mainPath()), QString());
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString(), Settings::mainPath()),
        QStringLiteral("main.example"));
}

void TestNetworkDialog::newTranslationHostUsedByNextRequest()
{
    HttpTestServer oldServer;
    HttpTestServer newServer;
    oldServer.setReply(200, HttpTestServer::translationReply(QStringLiteral("old")));
    newServer.setReply(200, HttpTestServer::translationReply(QStringLiteral("new")));
    WindowFixture f("[action]\nTranslateHostWW=" + oldServer.baseUrl().toUtf8() + "\n");

    MessageBoxWatch watch(QStringLiteral("否"));
    answerNetworkDialog(true, { QString(), newServer.baseUrl(), QString() });
    f.window->setNetworkActItem();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(watch.boxes.size(), 0);

    MdiChild *child = f.window->activeMdiChild();
    QVERIFY(child);
    f.window->translationWorker().enqueue(
        QStringLiteral("你好"), child->documentId(), child->model()->appendSource(QStringLiteral("你好")));
    QTRY_COMPARE(newServer.requestCount(), 1);
    const HttpTestServer::Request request = newServer.requests().first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(
        request.target, QByteArray("/NiuTransServer/translation?from=zh&to=uy&src_text=%E4%BD%A0%E5%A5%BD"));
    QCOMPARE(oldServer.requestCount(), 0);
}

void TestNetworkDialog::restartYesClosesDocumentsThenStartsAgain_data()
{
    QTest::addColumn<QString>("saveAnswer"); // empty: the document is not modified
    QTest::addColumn<bool>("restarted");
    QTest::addColumn<QByteArray>("onDisk");

    const QByteArray before("你好\nsalam\n");
    QTest::newRow("nothing modified") << QString() << true << before;
    QTest::newRow("Save") << QStringLiteral("保存") << true
                          << QByteArray("\xEF\xBB\xBF你好\nsalam\n谢谢\nrehmet\n");
    QTest::newRow("Discard") << QStringLiteral("放弃") << true << before;
    QTest::newRow("Cancel stops the restart") << QStringLiteral("取消") << false << before;
}

void TestNetworkDialog::restartYesClosesDocumentsThenStartsAgain()
{
    QFETCH(QString, saveAnswer);
    QFETCH(bool, restarted);
    QFETCH(QByteArray, onDisk);

    WindowFixture f;
    MainWindow *w = f.window;
    QList<QStringList> launches;
    w->restarter().setLaunch([&launches](const QString &program, const QStringList &arguments) {
        launches << QStringList { program } + arguments;
        return true;
    });
    const QString file = f.path(QStringLiteral("talk.txt"));
    QFile talk(file);
    QVERIFY(talk.open(QIODevice::WriteOnly));
    talk.write("你好\nsalam\n");
    talk.close();
    MdiChild *child = w->activeMdiChild();
    QVERIFY(child->loadFile(file, false));
    QStringList expectedBoxes { restartQuestion };
    if (!saveAnswer.isEmpty()) {
        child->setItems({ "你好", "谢谢" }, { "salam", "rehmet" });
        child->setModified(true);
        expectedBoxes << QStringLiteral("'talk.txt' 文档已修改，你要保存吗？");
    }

    {
        MessageBoxWatch watch({ QStringLiteral("是"), saveAnswer });
        answerNetworkDialog(true, { QStringLiteral("10.0.0.5"), QString(), QString() });
        w->setNetworkActItem();
        // Never "exit program?" on top of the restart question.
        QStringList asked;
        for (const MessageBoxWatch::Box &box : watch.boxes)
            asked << box.text;
        QCOMPARE(asked, expectedBoxes);
    }
    QCOMPARE(w->isVisible(), !restarted);
    const QStringList sameProgram
        = QStringList { QCoreApplication::applicationFilePath() } + QCoreApplication::arguments().mid(1);
    QCOMPARE(launches, restarted ? QList<QStringList> { sameProgram } : QList<QStringList>());
    QVERIFY(talk.open(QIODevice::ReadOnly));
    QCOMPARE(talk.readAll(), onDisk);
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString()), QStringLiteral("10.0.0.5"));

    if (!restarted) {
        // The restart was withdrawn: the next close is an ordinary one.
        MessageBoxWatch exitWatch(QStringLiteral("否"));
        w->close();
        QCOMPARE(exitWatch.boxes.size(), 1);
        QCOMPARE(exitWatch.boxes.first().text, QStringLiteral("是否要关闭本程序？"));
        QVERIFY(launches.isEmpty());
    }
}

void TestNetworkDialog::nothingWhileRecording()
{
    WindowFixture f("[action]\nVoiceHost=10.0.0.5\n");
    const QByteArray before = [] {
        QFile file(Settings::mainPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    AppState::RecordState = AppState::Recording;
    MessageBoxWatch watch(QStringLiteral("否"), true);
    f.window->setNetworkActItem();
    // A dialog would have held setNetworkActItem until the watch closed it.
    QCOMPARE(watch.dialogs, QStringList());
    QCOMPARE(watch.boxes.size(), 0);
    QFile file(Settings::mainPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    AppState::RecordState = AppState::Idle;
}

TOLVANE_TEST_MAIN(TestNetworkDialog)

#include "tst_networkdialog.moc"
