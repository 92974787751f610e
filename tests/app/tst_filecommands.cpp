#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "speech/recognitionevent.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>
#include <functional>
#include <memory>

namespace {
const QByteArray utf8Mark("\xEF\xBB\xBF");

// What a file dialog showed before the test answered it.
struct DialogSeen
{
    bool shown = false;
    QString title;
    QString proposed;
    QString folder;
    QStringList filters;
    bool savingFlag = false;
};

// Answers a file dialog with fileName; an empty name cancels it. With force the
// dialog's own checks (a missing file, a folder) are passed by.
void answer(QWidget *modal, const QString &fileName, DialogSeen *seen, bool force)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog) {
        qWarning("not a file dialog: %s", modal->metaObject()->className());
        modal->close();
        return;
    }
    if (seen) {
        seen->shown = true;
        seen->title = dialog->windowTitle();
        seen->proposed = dialog->selectedFiles().value(0);
        seen->folder = dialog->directory().absolutePath();
        seen->filters = dialog->nameFilters();
        seen->savingFlag = AppState::savingInProgress;
    }
    if (fileName.isEmpty()) {
        dialog->reject();
        return;
    }
    dialog->selectFile(fileName);
    // selectFile leaves a focused name field alone.
    if (auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        nameField->setText(fileName);
    if (force)
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    else
        static_cast<QDialog *>(dialog)->accept();
}

void answerFileDialog(const QString &fileName, DialogSeen *seen = nullptr, bool force = false)
{
    ModalAnswer::onNext([fileName, seen, force](QWidget *modal) { answer(modal, fileName, seen, force); });
}

// The file dialog, then the box that follows it.
void answerFileDialogThen(const QString &fileName, std::function<void()> scheduleNext, bool force = false)
{
    ModalAnswer::onNext([fileName, scheduleNext, force](QWidget *modal) {
        scheduleNext();
        answer(modal, fileName, nullptr, force);
    });
}

// Runs the main window's open command: the file dialog, then the question.
void openThroughDialog(MainWindow *w, const QString &fileName, const QString &reply)
{
    answerFileDialogThen(fileName, [reply]() { ModalAnswer::clickButton(reply); });
    w->action("openAct")->trigger();
}

// Counts and closes every modal dialog shown while it lives.
class ModalWatch
{
public:
    ModalWatch()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this]() {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++count;
                modal->close();
            }
        });
        timer.start();
    }
    int count = 0;

private:
    QTimer timer;
};

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot read>");
    return file.readAll();
}

}

// The main window's file commands as the operator meets them: the dialogs, the
// question, the status bar, the title, and what reaches the disk.
class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void openReadsItems_data();
    void openReadsItems();
    void openAlreadyOpenFileOnlyActivates_data();
    void openAlreadyOpenFileOnlyActivates();
    void openCancelledChangesNothing();
    void openFailure_data();
    void openFailure();

    void saveNewDocumentAsksForName();
    void failedSaveAs();
    void saveAsAsksAboutNameWritten_data();
    void saveAsAsksAboutNameWritten();


    void autoSaveWritesActiveLists();
};

void TestFileCommands::cleanup() { ModalAnswer::reset(); }

void TestFileCommands::openReadsItems_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    QTest::newRow("Yes: pairs") << QStringLiteral("是") << QStringList { "你好", "谢谢" }
                                << QStringList { "salam", "rehmet" };
    QTest::newRow("No: one per line")
        << QStringLiteral("否") << QStringList { "你好", "salam", "谢谢", "rehmet" }
        << QStringList { "", "", "", "" };
}

void TestFileCommands::openReadsItems()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    WindowFixture f;
    MainWindow *w = f.window;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("texts")));
    const QString file = f.path(QStringLiteral("texts/talk.txt"));
    writeBytes(file, utf8Mark + QByteArray("你好\r\n salam \r\n谢谢\r\nrehmet\r\n"));
    MdiChild *before = w->activeMdiChild();

    openThroughDialog(w, file, answer);

    QCOMPARE(ModalAnswer::answeredCount(), 2);
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("文件是否包含翻译文本？"));
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("文件已打开"));
    QCOMPARE(w->documentArea()->subWindowList().size(), 2);
    MdiChild *child = w->activeMdiChild();
    QVERIFY(child && child != before);
    QCOMPARE(child->sourceModel->stringList(), sources);
    QCOMPARE(child->translationModel->stringList(), translations);
    QCOMPARE(child->sources(), sources);
    QCOMPARE(child->windowTitle(), QStringLiteral("talk.txt"));
    QCOMPARE(child->currentFile(), file);
    QVERIFY(!child->isModified());
    QCOMPARE(AppState::backupDir, f.path(QStringLiteral("texts")));
    QCOMPARE(Settings::readString(SettingsKeys::BackupDir, QString()), f.path(QStringLiteral("texts")));
    QCOMPARE(w->windowTitle(), QStringLiteral("汉-->维翻译 - [talk.txt]"));
    // The delayed refresh that follows shows the new document's letter count.
    const int letters = sources.join(QLatin1Char('\n')).size() + 1;
    QTRY_COMPARE(w->statusBar()->currentMessage(), QStringLiteral("总字数：%1").arg(letters));
}

void TestFileCommands::openAlreadyOpenFileOnlyActivates_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("same name") << QStringLiteral("texts/talk.txt") << QStringLiteral("texts/talk.txt");
    QTest::newRow("linked folder, then the folder")
        << QStringLiteral("link/talk.txt") << QStringLiteral("texts/talk.txt");
}

void TestFileCommands::openAlreadyOpenFileOnlyActivates()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    WindowFixture f;
    MainWindow *w = f.window;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("texts")));
    QVERIFY(QFile::link(f.path(QStringLiteral("texts")), f.path(QStringLiteral("link"))));
    writeBytes(f.path(QStringLiteral("texts/talk.txt")), QByteArray("a\nx\n"));
    const QString file = f.path(second);
    openThroughDialog(w, f.path(first), QStringLiteral("是"));
    MdiChild *loaded = w->activeMdiChild();
    w->newFile();
    QVERIFY(w->activeMdiChild() != loaded);
    AppState::backupDir = QStringLiteral("/elsewhere");
    ModalAnswer::reset();

    // A question after the file dialog would be closed and counted.
    std::unique_ptr<ModalWatch> watch;
    answerFileDialogThen(file, [&watch]() { watch = std::make_unique<ModalWatch>(); });
    w->action("openAct")->trigger();

    QVERIFY(watch);
    QCOMPARE(watch->count, 0);
    QCOMPARE(w->activeMdiChild(), loaded);
    QCOMPARE(w->documentArea()->subWindowList().size(), 3);
    QCOMPARE(AppState::backupDir, QFileInfo(file).absolutePath());
}

void TestFileCommands::openCancelledChangesNothing()
{
    WindowFixture f;
    MainWindow *w = f.window;
    Settings::write(SettingsKeys::BackupDir, f.dir.path());
    AppState::backupDir = f.dir.path();
    w->statusBar()->showMessage(QStringLiteral("before"));
    DialogSeen seen;
    answerFileDialog(QString(), &seen);
    w->action("openAct")->trigger();
    QVERIFY(seen.shown);
    // The dialog starts in the last used folder and offers text files.
    QCOMPARE(seen.folder, f.dir.path());
    QCOMPARE(seen.filters, QStringList { QStringLiteral("*.txt") });
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(w->documentArea()->subWindowList().size(), 1);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("before"));
}

void TestFileCommands::openFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::newRow("missing file") << QStringLiteral("missing.txt") << false;
    QTest::newRow("folder") << QStringLiteral("folder.txt") << true;
}

void TestFileCommands::openFailure()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    WindowFixture f;
    MainWindow *w = f.window;
    const QString file = f.path(name);
    if (folder)
        QVERIFY(QDir(f.dir.path()).mkdir(name));
    MdiChild *before = w->activeMdiChild();
    const int recordState = AppState::RecordState;
    w->statusBar()->showMessage(QStringLiteral("before"));

    // Yes to the question, then OK to the error box.
    answerFileDialogThen(
        file,
        []() {
            ModalAnswer::onNext([](QWidget *question) {
                ModalAnswer::clickStandard(QMessageBox::Ok);
                static_cast<QMessageBox *>(question)->button(QMessageBox::Yes)->click();
            });
        },
        true);
    w->action("openAct")->trigger();

    QCOMPARE(ModalAnswer::answeredCount(), 3);
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("文档保存提示"));
    const QString prefix = QStringLiteral("无法读取文件 %1：\n").arg(file);
    QVERIFY2(ModalAnswer::lastText().startsWith(prefix), qPrintable(ModalAnswer::lastText()));
    // The system's reason follows.
    QVERIFY(ModalAnswer::lastText().size() > prefix.size() + 1);
    QVERIFY(ModalAnswer::lastText().endsWith(QStringLiteral("。")));
    QTRY_COMPARE(w->documentArea()->subWindowList().size(), 1);
    QCOMPARE(w->activeMdiChild(), before);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("before"));
    QCOMPARE(AppState::RecordState, recordState);
}

void TestFileCommands::saveNewDocumentAsksForName()
{
    WindowFixture f;
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    const QString untitled = child->currentFile();
    child->setItems({ "你好", "谢谢" }, { "salam", "rehmet" });
    child->setModified(true);

    DialogSeen seen;
    answerFileDialog(f.path(QStringLiteral("notes")), &seen);
    w->action("saveAct")->trigger();

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("保存为"));
    QCOMPARE(QFileInfo(seen.proposed).fileName(), untitled);
    QVERIFY(seen.savingFlag);
    QVERIFY(!AppState::savingInProgress);
    const QString saved = f.path(QStringLiteral("notes.txt"));
    QCOMPARE(readBytes(saved), utf8Mark + QByteArray("你好\nsalam\n谢谢\nrehmet\n"));
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("文件已保存"));
    QCOMPARE(child->currentFile(), saved);
    QCOMPARE(child->windowTitle(), QStringLiteral("notes.txt"));
    QVERIFY(!child->isModified());
    // Save does not move the open dialog's folder.
    QCOMPARE(AppState::backupDir, QString());

    // Named now: the next save writes without asking.
    ModalAnswer::reset();
    child->setItems(child->sources() << QStringLiteral("再见"), child->translations() << QStringLiteral("xosh"));
    w->action("saveAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 0);
    QCOMPARE(readBytes(saved), utf8Mark + QByteArray("你好\nsalam\n谢谢\nrehmet\n再见\nxosh\n"));
}

void TestFileCommands::failedSaveAs()
{
    WindowFixture f;
    MainWindow *w = f.window;
    const QString chosen = f.path(QStringLiteral("no/such/notes.txt"));
    MdiChild *child = w->activeMdiChild();
    const QString title = child->windowTitle();
    child->setItems({ "a" }, { "x" });
    child->setModified(true);
    w->statusBar()->showMessage(QStringLiteral("before"));

    answerFileDialogThen(
        chosen, []() { ModalAnswer::clickStandard(QMessageBox::Ok); }, true);
    w->action("saveAsAct")->trigger();

    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("文档保存提示"));
    const QString prefix = QStringLiteral("无法写入文件 %1：\n").arg(chosen);
    QVERIFY2(ModalAnswer::lastText().startsWith(prefix), qPrintable(ModalAnswer::lastText()));
    // The reason is the system's, not empty.
    QVERIFY(ModalAnswer::lastText().size() > prefix.size() + 1);
    QVERIFY(child->isModified());
    QCOMPARE(child->windowTitle(), title);
    QCOMPARE(child->currentFile(), chosen);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("before"));
    QCOMPARE(AppState::backupDir, QString());
    QVERIFY(!AppState::savingInProgress);
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("no"))));

    // Still never saved: Save asks for a name again.
    ModalAnswer::reset();
    answerFileDialog(f.path(QStringLiteral("second.txt")));
    w->action("saveAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(readBytes(f.path(QStringLiteral("second.txt"))), utf8Mark + QByteArray("a\nx\n"));
    QVERIFY(!child->isModified());
}

void TestFileCommands::saveAsAsksAboutNameWritten_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("replaced");
    const QString chinese = QStringLiteral("notes.txt 已存在。\n要替换它吗？");
    QTest::newRow("Chinese, Yes replaces") << QByteArray() << QStringLiteral("是") << chinese << true;
    QTest::newRow("Chinese, No keeps the file") << QByteArray() << QStringLiteral("否") << chinese << false;
    QTest::newRow("English, No keeps the file")
        << QByteArray("[action]\nuilang=1\n") << QStringLiteral("No")
        << QStringLiteral("notes.txt already exists.\nDo you want to replace it?") << false;
}

void TestFileCommands::saveAsAsksAboutNameWritten()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, reply);
    QFETCH(QString, question);
    QFETCH(bool, replaced);
    WindowFixture f(ini);
    MainWindow *w = f.window;
    const QString existing = f.path(QStringLiteral("notes.txt"));
    writeBytes(existing, "kept\n");
    MdiChild *child = w->activeMdiChild();
    const QString untitled = child->currentFile();
    child->setItems({ "你好" }, { "salam" });
    child->setModified(true);

    // Typed without the suffix: the dialog finds no "notes" and asks nothing itself.
    answerFileDialogThen(f.path(QStringLiteral("notes")), [reply]() { ModalAnswer::clickButton(reply); });
    w->action("saveAsAct")->trigger();

    QCOMPARE(ModalAnswer::answeredCount(), 2);
    QCOMPARE(ModalAnswer::lastText(), question);
    QCOMPARE(readBytes(existing), replaced ? utf8Mark + QByteArray("你好\nsalam\n") : QByteArray("kept\n"));
    QCOMPARE(child->isModified(), !replaced);
    QCOMPARE(child->currentFile(), replaced ? existing : untitled);
}

void TestFileCommands::autoSaveWritesActiveLists()
{
    WindowFixture f;
    MainWindow *w = f.window;
    MdiChild *first = w->activeMdiChild();
    first->setItems({ "other" }, { "document" });
    w->newFile();
    MdiChild *child = w->activeMdiChild();
    child->setItems({ "你好", "谢谢", "pending" }, { "salam", "rehmet" });
    const QString title = child->windowTitle();
    const QString temp = f.path(QStringLiteral("file/tempfile.txt"));
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("file"))));

    w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->start(1);
    QTRY_VERIFY(QFileInfo::exists(temp));
    w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->stop();

    QCOMPARE(readBytes(temp), utf8Mark + QByteArray("你好\nsalam\n谢谢\nrehmet\n"));
    QCOMPARE(child->windowTitle(), title);
    QVERIFY(!child->isModified());
    QCOMPARE(ModalAnswer::answeredCount(), 0);
}

TOLVANE_TEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
