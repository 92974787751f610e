#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/mywrapitem.h"
#include "modalanswer.h"
#include "testfiles.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QtWidgets>

namespace {
const QByteArray utf8Mark("\xEF\xBB\xBF"), pairs(utf8Mark + "你好\nsalam\n谢谢\nrehmet\n");
const QString absent(QStringLiteral("<absent>"));
const QString yes(QStringLiteral("是")), no(QStringLiteral("否")), ok(QStringLiteral("确定")),
    cancel(QStringLiteral("取消"));
const QStringList threeSources { "你好", "谢谢", "再见" };

QString stored(const char *key, const QString &file = QString()) { return Settings::readString(key, absent, file); }
QComboBox *box(MainWindow *w, const char *name) { return w->findChild<QComboBox *>(QLatin1String(name)); }
QString letters(const QStringList &s) { return "总字数：" + QString::number(s.join('\n').size() + !s.isEmpty()); }
QStringList enabled(MainWindow *w, QStringList names)
{
    const auto off = [w](const QString &name) { return !w->action(qPrintable(name))->isEnabled(); };
    names.erase(std::remove_if(names.begin(), names.end(), off), names.end());
    return names;
}

// With confirm, an option dialog: OK follows unless the choice closed it.
void click(QWidget *dialog, const QString &text, bool confirm = false)
{
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        if (b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            if (confirm && dialog->isVisible())
                click(dialog, ok);
            return;
        }
    qWarning("no button '%s'", qPrintable(text));
}

struct { QString proposed, folder; QStringList filters; bool saving = false; } seen;

// Answers the next file dialog with fileName (empty cancels), after scheduling the
// answer to what follows it. With force the dialog's own checks are passed by.
void answerFile(const QString &fileName, std::function<void()> next = nullptr, bool force = false)
{
    ModalAnswer::onNext([=](QWidget *modal) -> void {
        auto *dialog = static_cast<QFileDialog *>(modal);
        seen = { dialog->selectedFiles().value(0), dialog->directory().absolutePath(), dialog->nameFilters(),
            AppState::savingInProgress };
        if (next)
            next();
        if (fileName.isEmpty())
            return dialog->reject();
        dialog->selectFile(fileName);
        // selectFile leaves a focused name field alone.
        if (auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameField->setText(fileName);
        force ? dialog->QDialog::done(QDialog::Accepted) : dialog->QDialog::accept();
    });
}
}

// setup: 1 recording, 2 no window, 4 running text; sources and after: the lists after the command.
struct ItemCase { QByteArray act; int setup; QString translations; int current; QString sources, after, refusal; };
Q_DECLARE_METATYPE(ItemCase)
// expected: title, mode box index, phrase mode, language, auto-save minutes.
struct StartCase { QByteArray ini, englishIni; QString expected; };
Q_DECLARE_METATYPE(StartCase)
// choice: empty cancels; colour: for the chooser, invalid cancels it.
struct OptionCase { QByteArray ini, act; QString choice; QColor colour; QString expected; };
Q_DECLARE_METATYPE(OptionCase)
// name: empty cancels the dialog; answer: to the question, empty when none is due;
// loaded: sources | translations of the new document.
struct OpenCase { QString name, answer, loaded; };
Q_DECLARE_METATYPE(OpenCase)
// reply: to the replace question, empty when none is asked; failure: the error box's opening.
struct SaveCase { QByteArray act; QString name, reply, failure; bool written; };
Q_DECLARE_METATYPE(SaveCase)

// The main window as the operator meets it: menus, option dialogs, file and item commands.
class TestWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;
    MainWindow *w = nullptr;
    void start(QByteArray ini = {}, QByteArray en = {}) { f.reset(new WindowFixture(ini, en)); w = f->window; }

private slots:
    void cleanup() { f.reset(); ModalAnswer::reset(); }

    void startUp_data()
    {
        QTest::addColumn<StartCase>("c");
        QTest::newRow("first start") << StartCase { {}, {}, "汉-->维翻译 0 1 0 1" };
        // Values changed under the English interface are there at the next start.
        QTest::newRow("English file read") << StartCase { "[action]\nuilang=1\nrealtime=1\nlang=0\n",
            "[action]\nrealtime=0\nlang=1\n", "Uygur-->Chinese Translator 1 0 1 1" };
        QTest::newRow("realtime 2, auto-save 99")
            << StartCase { "[action]\nrealtime=2\nautoSave=99\n", {}, "汉-->维翻译 1 0 0 30" };
        QTest::newRow("auto-save 0") << StartCase { "[action]\nautoSave=0\n", {}, "汉-->维翻译 0 1 0 1" };
    }
    void startUp()
    {
        QFETCH(StartCase, c);
        start(c.ini, c.englishIni);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(WindowFixture::mainTitle(w))
                     .arg(box(w, "modeBox")->currentIndex())
                     .arg(AppState::phraseMode)
                     .arg(AppState::recognitionLanguage)
                     .arg(w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->interval() / 60000.0),
            c.expected);
        const auto documents = w->documentArea()->subWindowList();
        QVERIFY(documents.size() == 1 && documents.first()->isMaximized() && AppState::RecordState == AppState::Idle);
    }

    void listsAndRunningText()
    {
        start();
        MdiChild *child = w->activeMdiChild();
        const QStringList editActions { "pasteAct", "cutAct", "copyAct" };
        auto show = [this](const QString &choice) {
            ModalAnswer::onNext([choice](QWidget *dialog) { click(dialog, choice, true); });
            w->setShowEditActItem();
        };
        // 1: the running texts are on screen, 2: the lists.
        auto shown = [child] {
            return child->sourceEdit->isVisibleTo(child) + 2 * child->sourceView->isVisibleTo(child);
        };
        QCOMPARE(enabled(w, editActions), QStringList());
        auto typeAbc = [child] { child->sourceEdit->setPlainText("abc"); child->sourceEdit->selectAll(); };
        // In lists mode Cut leaves the hidden running text alone.
        typeAbc();
        w->cut();
        QCOMPARE(child->sourceEdit->toPlainText(), QStringLiteral("abc"));
        // Only the translated items go into the running texts; Paste is offered with them.
        child->setItems(threeSources, { "x" });
        show(QStringLiteral("每句用逗号隔开"));
        QCOMPARE(stored(SettingsKeys::TextMode) + QString::number(AppState::textMode), QStringLiteral("00"));
        QCOMPARE(child->sourceEdit->toPlainText() + child->model()->runningTranslation(), QStringLiteral("你好，x، "));
        QVERIFY(shown() == 1 && child->sourceEdit->textCursor().position() == 3
            && child->translationEdit->document()->defaultTextOption().textDirection() == Qt::RightToLeft);
        QCOMPARE(enabled(w, editActions), QStringList("pasteAct"));
        show(QStringLiteral("每句显示为一行"));
        QVERIFY(AppState::textMode == 1 && shown() == 2 && !w->action("pasteAct")->isEnabled());
        QCOMPARE(child->sources(), threeSources);
        // Cut and Copy need a selection in the running text.
        show(QStringLiteral("每句用逗号隔开"));
        typeAbc();
        w->updateMenus();
        QCOMPARE(enabled(w, editActions), editActions);
        w->cut();
        QCOMPARE(child->model()->runningSource() + w->statusBar()->currentMessage(), QStringLiteral("总字数：0"));
        QCOMPARE(enabled(w, editActions), QStringList("pasteAct"));
        w->paste();
        QCOMPARE(child->model()->runningSource() + w->statusBar()->currentMessage(), QStringLiteral("abc总字数：3"));
    }

    void exitAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("modified"); // then Cancel to the save prompt
        QTest::newRow("Yes") << yes << false;
        QTest::newRow("No") << no << false;
        QTest::newRow("Yes, save cancelled") << yes << true;
    }
    void exitAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, modified);
        start();
        w->activeMdiChild()->setModified(modified);
        ModalAnswer::onNext([=](QWidget *exitBox) {
            if (modified)
                ModalAnswer::clickButton(cancel);
            click(exitBox, answer);
        });
        w->action("exitAct")->trigger();
        QCOMPARE(ModalAnswer::answeredCount(), modified ? 2 : 1);
        const bool closed = answer == yes && !modified;
        QCOMPARE(w->isVisible() + w->documentArea()->subWindowList().isEmpty() * 2, closed ? 2 : 1);
        if (closed)
            return;
        // The next close asks again instead of quitting without saving.
        ModalAnswer::clickButton(no);
        w->close();
        QVERIFY(ModalAnswer::lastText() == QStringLiteral("是否要关闭本程序？") && w->isVisible());
    }

    void interfaceLanguage()
    {
        start();
        // Not while recording.
        AppState::RecordState = AppState::Recording;
        w->langChanged(QStringLiteral("English"));
        QCOMPARE(stored(SettingsKeys::UiLang, Settings::mainPath()), absent);
        AppState::RecordState = AppState::Idle;
        box(w, "modeBox")->setCurrentIndex(1);
        QCOMPARE(stored(SettingsKeys::Realtime), QStringLiteral("0"));
        box(w, "uiLanguageBox")->setCurrentIndex(1);
        QTRY_COMPARE(WindowFixture::mainTitle(w), QStringLiteral("Chinese-->Uygur Translator"));
        QCOMPARE(w->settingsPath(), Settings::englishPath());
        // Later changes go to the English file; the interface language stays in the main one.
        w->action("langWWAct")->trigger();
        QCOMPARE(stored(SettingsKeys::Lang, Settings::englishPath())
                + stored(SettingsKeys::Lang, Settings::mainPath()),
            "1" + absent);
        box(w, "uiLanguageBox")->setCurrentIndex(0);
        QTRY_COMPARE(WindowFixture::mainTitle(w) + box(w, "modeBox")->currentText(),
            QStringLiteral("维-->汉翻译整句实时识别"));
        QCOMPARE(stored(SettingsKeys::UiLang, Settings::mainPath()) + w->settingsPath(), "0" + Settings::mainPath());
        // Any two-letter name means Chinese too.
        w->langChanged(QStringLiteral("English"));
        w->langChanged(QStringLiteral("cn"));
        QCOMPARE(stored(SettingsKeys::UiLang, Settings::mainPath()) + w->settingsPath(), "0" + Settings::mainPath());
    }

    // Each option dialog: what it opened on, then what it stored and what is in effect.
    void optionDialogs_data()
    {
        QTest::addColumn<OptionCase>("c");
        const QByteArray custom("[action]\nlistbackcolor=-16776961\nlistselcolor=4278255360\n"),
            five("[action]\nautoSave=5\n");
        const QString back(QStringLiteral("设置列表框背景色"));
        auto row = [](const char *name, OptionCase c) { QTest::newRow(name) << c; };
        row("mark: nothing stored, space", { {}, "setPauseMarkAct", "加入空格", {}, "加入逗号 1 1" });
        row("mark: unknown value", { "[action]\npauseMark=5\n", "setPauseMarkAct", "加入空格", {}, "加入空格 1 1" });
        row("mark: cancelled", { "[action]\npauseMark=1\n", "setPauseMarkAct", "", {}, "加入空格 1 1" });
        row("background", { {}, "setColorAct", back, Qt::red, "FFDFEBF7 4294901760 <absent> FFFF0000 FF09B5F7" });
        row("selection", { {}, "setColorAct", "设置当前选择项颜色", Qt::darkGreen,
                             "FF09B5F7 <absent> 4278222848 FFDFEBF7 FF008000" });
        row("defaults", { custom, "setColorAct", "设置回默认值", {}, back + " -2102281 -16140809 FFDFEBF7 FF09B5F7" });
        row("no colour chosen", { custom, "setColorAct", back, {}, "FF0000FF -16776961 4278255360 FF0000FF FF00FF00" });
        // The dialog clamps; the timer runs in minutes.
        row("auto-save 12", { {}, "setAutoSaveAct", "12", {}, "1 12 12" });
        row("auto-save 45", { five, "setAutoSaveAct", "45", {}, "5 30 30" });
        row("auto-save 0", { five, "setAutoSaveAct", "0", {}, "5 1 1" });
        row("auto-save cancelled", { five, "setAutoSaveAct", "", {}, "5 5 5" });
    }
    void optionDialogs()
    {
        QFETCH(OptionCase, c);
        start(c.ini);
        const auto hex = [](QRgb rgba) { return QString::number(rgba, 16).toUpper(); };
        QString opened;
        ModalAnswer::onNext([&](QWidget *dialog) {
            if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
                opened = QString::number(input->findChild<QSpinBox *>()->value());
                input->findChild<QSpinBox *>()->setValue(c.choice.toInt());
                return c.choice.isEmpty() ? input->reject() : input->accept();
            }
            for (QRadioButton *b : dialog->findChildren<QRadioButton *>())
                opened = b->isChecked() ? b->text() : opened;
            if (c.act == "setColorAct" && c.choice != QStringLiteral("设置回默认值"))
                ModalAnswer::onNext([&](QWidget *modal) {
                    auto *chooser = qobject_cast<QColorDialog *>(modal);
                    opened = hex(chooser->currentColor().rgba());
                    if (!c.colour.isValid())
                        return chooser->reject();
                    chooser->setCurrentColor(c.colour);
                    chooser->accept();
                });
            click(dialog, c.choice.isEmpty() ? cancel : c.choice, true);
        });
        w->action(c.act.constData())->trigger();
        const QTimer *timer = w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"));
        const QStringList state = c.act == "setColorAct"
            ? QStringList { stored(SettingsKeys::ListBackColor), stored(SettingsKeys::ListSelColor),
                  hex(AppState::listBackgroundColor), hex(AppState::listSelectionColor) }
            : c.act == "setAutoSaveAct"
            ? QStringList { stored(SettingsKeys::AutoSave),
                  QString::number(timer->isActive() * timer->interval() / 60000) }
            : QStringList { stored(SettingsKeys::PauseMark), QString::number(AppState::pauseMarkChoice) };
        QCOMPARE((opened + ' ' + state.join(' ')), c.expected);
    }

    // The spoken language's font and direction go to the source side, the other's to the
    // translation side; the taller font sets both rows. The font dialog edits the spoken one.
    void fonts()
    {
        auto entry = [](const QFont &font) -> QByteArray { return '"' + font.toString().toLatin1() + '"'; };
        const QFont chinese(QStringLiteral("DejaVu Sans"), 10), uyghur(QStringLiteral("DejaVu Serif"), 22);
        start("[action]\nsetTextMode=1\n[langfont]\nf0=" + entry(chinese) + "\nf1=" + entry(uyghur) + '\n');
        MdiChild *child = w->activeMdiChild();
        auto describe = [](const QFont &font) -> QString {
            return QFontInfo(font).family() + QString::number(font.pointSize());
        };
        auto check = [&](const QFont &source, const QFont &target, Qt::LayoutDirection dir) {
            const int rowHeight = qMax(QFontMetrics(source).height(), QFontMetrics(target).height()) + 10;
            QCOMPARE(describe(child->sourceView->font()) + describe(child->translationView->font()),
                describe(source) + describe(target));
            QCOMPARE(QList<int>({ child->sourceView->layoutDirection(), child->translationView->layoutDirection(),
                         child->sourceDelegate()->lineHeight, child->translationDelegate()->lineHeight }),
                QList<int>({ dir, 1 - dir, rowHeight, rowHeight }));
        };
        check(chinese, uyghur, Qt::LeftToRight);
        w->action("langWWAct")->trigger();
        check(uyghur, chinese, Qt::RightToLeft);
        w->action("langCNAct")->trigger();
        check(chinese, uyghur, Qt::LeftToRight);

        QString offered;
        QFont picked(QStringLiteral("DejaVu Sans Mono"), 17);
        ModalAnswer::onNext([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFontDialog *>(modal);
            offered = describe(dialog->currentFont());
            dialog->setCurrentFont(picked);
            picked = dialog->currentFont();
            dialog->accept();
        });
        w->action("setFontAct")->trigger();
        QCOMPARE(offered, describe(chinese));
        // The font's key: its description in lower case.
        QCOMPARE(stored(qPrintable(Settings::fontKey(0))) + stored(qPrintable(Settings::fontKey(1))),
            picked.toString().toLower() + uyghur.toString());
        check(picked, uyghur, Qt::LeftToRight);
    }

    void open_data()
    {
        QTest::addColumn<OpenCase>("c");
        QTest::newRow("pairs") << OpenCase { "texts/talk.txt", yes, "你好,谢谢|salam,rehmet" };
        QTest::newRow("one per line") << OpenCase { "texts/talk.txt", no, "你好,salam,谢谢,rehmet|,,," };
        QTest::newRow("cancelled") << OpenCase {};
        // Already open under this or a linked folder's name: only activated.
        QTest::newRow("open already") << OpenCase { "texts/talk.txt", {}, {} };
        QTest::newRow("open through a link") << OpenCase { "link/talk.txt", {}, {} };
        // The system's reason follows the message; the empty window goes away.
        QTest::newRow("missing file") << OpenCase { "missing.txt", yes, {} };
    }
    void open()
    {
        QFETCH(OpenCase, c);
        start();
        const QString talk = f->path(QStringLiteral("texts/talk.txt")),
                      file = c.name.isEmpty() ? QString() : f->path(c.name);
        QVERIFY(QDir(f->dir.path()).mkdir("texts") && QFile::link(f->path("texts"), f->path("link")));
        writeBytes(talk, utf8Mark + QByteArray("你好\r\n salam \r\n谢谢\r\nrehmet\r\n"));
        MdiChild *opened = c.name.isEmpty() || !c.answer.isEmpty() ? nullptr : w->activeMdiChild();
        if (opened && opened->loadFile(talk, false))
            w->newFile();
        AppState::backupDir = f->dir.path();
        MdiChild *before = w->activeMdiChild();
        w->statusBar()->showMessage(QStringLiteral("before"));
        const bool failing = c.name == QLatin1String("missing.txt");
        // A question where none is due is closed and counted.
        QTimer watch;
        int questions = 0;
        connect(&watch, &QTimer::timeout, [&questions] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close(), ++questions;
        });
        answerFile(file, [&] {
            if (c.answer.isEmpty())
                return watch.start(10);
            ModalAnswer::onNext([=](QWidget *question) {
                if (failing) // the error box follows the question
                    ModalAnswer::clickStandard(QMessageBox::Ok);
                click(question, c.answer);
            });
        }, failing);
        w->action("openAct")->trigger();

        QCOMPARE(seen.folder + seen.filters.join('|'), f->dir.path() + "*.txt");
        QCOMPARE(ModalAnswer::answeredCount() + questions, c.answer.isEmpty() ? 1 : failing ? 3 : 2);
        // The chosen folder is kept for the next time, even when its file cannot be read.
        QCOMPARE(AppState::backupDir + Settings::readString(SettingsKeys::BackupDir, QString()),
            c.name.isEmpty() ? f->dir.path() : QFileInfo(file).absolutePath().repeated(2));
        QTRY_COMPARE(w->documentArea()->subWindowList().size(), 1 + bool(opened) + !c.loaded.isEmpty());
        MdiChild *child = w->activeMdiChild();
        if (c.loaded.isEmpty()) {
            const QString prefix = QStringLiteral("无法读取文件 %1：\n").arg(file),
                          text = ModalAnswer::lastText();
            QVERIFY2(!failing || (text.startsWith(prefix) && text.size() > prefix.size() + 1), qPrintable(text));
            QVERIFY(child == (opened ? opened : before) && AppState::RecordState == AppState::Idle);
            // Nothing loaded, nothing announced (an activated document may still show its letter count).
            QVERIFY2(opened || w->statusBar()->currentMessage() == QStringLiteral("before"),
                qPrintable(w->statusBar()->currentMessage()));
            return;
        }
        QVERIFY(child != before && child->currentFile() == file && !child->isModified());
        QCOMPARE(child->sources().join(',') + '|' + child->translationModel->stringList().join(','), c.loaded);
        QCOMPARE(w->windowTitle() + w->statusBar()->currentMessage(),
            QStringLiteral("汉-->维翻译 - [talk.txt]文件已打开"));
        // The delayed refresh that follows shows the new document's letter count.
        QTRY_COMPARE(w->statusBar()->currentMessage(), letters(child->sources()));
    }

    void save_data()
    {
        QTest::addColumn<SaveCase>("c");
        QTest::newRow("new document") << SaveCase { "saveAct", "notes", "", "", true };
        // Typed without the suffix: the dialog finds no "notes" and asks nothing itself.
        QTest::newRow("Yes replaces") << SaveCase { "saveAsAct", "notes", yes, "", true };
        QTest::newRow("No keeps the file") << SaveCase { "saveAsAct", "notes", no, "", false };
        QTest::newRow("failing") << SaveCase { "saveAsAct", "no/such/notes.txt", "", "无法写入文件", false };
    }
    void save()
    {
        QFETCH(SaveCase, c);
        start();
        const QString saved = f->path(QStringLiteral("notes.txt")), chosen = f->path(c.name);
        if (!c.reply.isEmpty())
            writeBytes(saved, "kept\n");
        MdiChild *child = w->activeMdiChild();
        const QString untitled = child->currentFile(), title = child->windowTitle();
        child->setItems({ "你好", "谢谢" }, { "salam", "rehmet" });
        child->setModified(true);
        w->statusBar()->showMessage(QStringLiteral("before"));
        answerFile(chosen, [&] {
            if (!c.reply.isEmpty())
                ModalAnswer::clickButton(c.reply);
            else if (!c.failure.isEmpty())
                ModalAnswer::clickStandard(QMessageBox::Ok);
        }, !c.failure.isEmpty());
        w->action(c.act.constData())->trigger();

        QVERIFY(QFileInfo(seen.proposed).fileName() == untitled && seen.saving && !AppState::savingInProgress);
        QCOMPARE(ModalAnswer::answeredCount(), c.reply.isEmpty() && c.failure.isEmpty() ? 1 : 2);
        // A failure names the file, then the system's reason.
        const QString text = ModalAnswer::lastText(), failure = c.failure + QStringLiteral(" %1：\n").arg(chosen);
        QVERIFY2(c.failure.isEmpty() || (text.startsWith(failure) && text.size() > failure.size() + 1),
            qPrintable(text));
        QCOMPARE(readBytes(saved), c.written ? pairs : c.reply.isEmpty() ? QByteArray("<none>") : QByteArray("kept\n"));
        QCOMPARE(child->isModified(), !c.written);
        QCOMPARE(child->windowTitle() + w->statusBar()->currentMessage(),
            c.written ? QStringLiteral("notes.txt文件已保存") : title + "before");
        // Save does not move the open dialog's folder, nor does a failed Save As.
        QCOMPARE(AppState::backupDir, c.written && c.act == "saveAsAct" ? f->dir.path() : QString());
        // Named now, the next save writes without asking; still never saved, Save asks for a name again.
        if (!c.written) {
            QVERIFY(child->currentFile() == (c.reply.isEmpty() ? chosen : untitled)
                && !QFileInfo::exists(f->path("no")));
            QFile::remove(saved);
            answerFile(f->path(QStringLiteral("notes")));
        }
        ModalAnswer::reset();
        child->setItems(child->sources() << QStringLiteral("再见"), child->translations() << QStringLiteral("xosh"));
        w->action("saveAct")->trigger();
        QCOMPARE(ModalAnswer::answeredCount(), int(!c.written));
        QVERIFY(readBytes(saved) == pairs + "再见\nxosh\n" && !child->isModified());
    }

    void itemCommands_data()
    {
        QTest::addColumn<ItemCase>("c");
        auto row = [](const char *name, ItemCase c) { QTest::newRow(name) << c; };
        const QString t("salam,rehmet,xosh"), s("你好,谢谢,再见");
        // Each refusal also breaks every later one, so the order shows.
        row("recording", { "addUpAct", 1 | 4, t, 1, s, t, "请先停止录音" });
        row("no window", { "addUpAct", 2 | 4, t, 1, s, t, "没有活动窗口" });
        row("running text", { "addUpAct", 4, t, 1, s, t, "请先把显示方式切换到每句显示为一行" });
        row("delete, no items", { "deleteAct", 0, "", -1, "", "", "没有内容" });
        row("up, middle", { "addUpAct", 0, t, 1, "你好, ,谢谢,再见", "salam, ,rehmet,xosh", {} });
        row("down, last", { "addDownAct", 0, t, 2, s, t, {} });
        row("down, no current", { "addDownAct", 0, t, -1, " ,你好,谢谢,再见", " ,salam,rehmet,xosh", {} });
        row("delete, middle", { "deleteAct", 0, t, 1, "你好,再见", "salam,xosh", {} });
        // Translations still on their way: rows at or after the translation count stay.
        row("up, pending", { "addUpAct", 0, "salam", 1, s, "salam", {} });
        row("delete, translated", { "deleteAct", 0, "salam", 0, "谢谢,再见", "", {} });
    }
    void itemCommands()
    {
        QFETCH(ItemCase, c);
        start();
        MdiChild *child = w->activeMdiChild();
        const QStringList before = c.translations.isEmpty() ? QStringList() : threeSources;
        child->setItems(before, c.translations.split(',', Qt::SkipEmptyParts));
        child->sourceView->setCurrentIndex(child->sourceModel->index(c.current));
        child->setModified(false);
        w->statusBar()->showMessage(QStringLiteral("before"));
        if (c.setup & 2)
            w->documentArea()->closeAllSubWindows();
        if (c.setup & 1)
            AppState::RecordState = AppState::Recording;
        AppState::textMode = c.setup & 4 ? 0 : 1;
        if (!c.refusal.isEmpty())
            ModalAnswer::clickStandard(QMessageBox::Ok);
        w->action(c.act.constData())->trigger();

        QCOMPARE(ModalAnswer::lastText(), c.refusal);
        if (c.setup & 2)
            return;
        QCOMPARE(child->sources().join(',') + '|' + child->translations().join(','), c.sources + '|' + c.after);
        const bool changes = child->sources() != before;
        QCOMPARE(child->isModified(), changes);
        QCOMPARE(child->sourceView->currentIndex().row(), changes ? -1 : c.current);
        QVERIFY(!changes || !child->translationView->currentIndex().isValid());
        // Only deleting from the main window refreshes the letter count, whether or not it removed anything.
        QCOMPARE(w->statusBar()->currentMessage(),
            c.act == "deleteAct" && c.refusal.isEmpty() ? letters(child->sources()) : QStringLiteral("before"));
    }
};

TOLVANE_TEST_MAIN(TestWindow)
#include "tst_window.moc"
