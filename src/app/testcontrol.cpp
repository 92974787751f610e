#include "testcontrol.h"

#include "app/mainwindow.h"
#include "documents/mdichild.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTimer>
#include <unistd.h>

TestControl::TestControl(MainWindow *window)
    : QObject(window)
    , window(window)
    , notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(notifier, &QSocketNotifier::activated, this, &TestControl::readInput);
}

void TestControl::readInput()
{
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        notifier->setEnabled(false); // the test closed its end
        return;
    }
    pending.append(buffer, int(got));
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray command = pending.left(end).trimmed();
        pending.remove(0, end + 1);
        run(command);
    }
}

void TestControl::run(const QByteArray &command)
{
    if (command == "record")
        window->action("runAct")->trigger();
    else if (command == "stop")
        window->action("stopAct")->trigger();
    else if (command == "new")
        window->action("newAct")->trigger();
    else if (command == "accept")
        acceptModal(500);
    else if (command.startsWith("dump "))
        dump(QString::fromUtf8(command.mid(5)));
    else
        qWarning("TestControl: unknown command '%s'", command.constData());
}

void TestControl::acceptModal(int triesLeft)
{
    if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
        dialog->accept();
        return;
    }
    if (triesLeft > 0)
        QTimer::singleShot(20, this, [this, triesLeft] { acceptModal(triesLeft - 1); });
}

void TestControl::dump(const QString &path) const
{
    QJsonArray documents;
    for (MdiChild *child : window->documents()) {
        const DocumentModel *model = child->model();
        QJsonArray items;
        for (int row = 0; row < model->count(); ++row) {
            const DocumentModel::Item &item = model->at(row);
            items.append(QJsonObject { { QStringLiteral("source"), item.source },
                { QStringLiteral("translation"),
                    item.hasTranslation ? QJsonValue(item.translation) : QJsonValue() } });
        }
        documents.append(QJsonObject { { QStringLiteral("file"), child->currentFile() },
            { QStringLiteral("untitled"), !child->hasFileName() },
            { QStringLiteral("modified"), child->isModified() }, { QStringLiteral("items"), items } });
    }
    QWidget *modal = QApplication::activeModalWidget();
    const QJsonObject state { { QStringLiteral("documents"), documents },
        { QStringLiteral("modal"), QString::fromLatin1(modal ? modal->metaObject()->className() : "") } };
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QJsonDocument(state).toJson());
        out.commit();
    }
}
