#include "myedit.h"

#include "documents/documentmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>

MyEdit::MyEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

QMenu *MyEdit::createContextMenu()
{
    auto *menu = new QMenu(this);
    auto addEntry = [this, menu](const QString &icon, const QString &text, QKeySequence::StandardKey key,
                        const QString &tip, void (MyEdit::*slot)()) {
        auto *action = new QAction(QIcon(icon), text, menu);
        action->setShortcut(key);
        action->setStatusTip(tip);
        connect(action, &QAction::triggered, this, slot);
        menu->addAction(action);
    };
    addEntry(QStringLiteral(":/images/cut.png"), tr("Cu&t"), QKeySequence::Cut,
        tr("Cut the current selection's contents to the clipboard"), &MyEdit::cut1);
    addEntry(QStringLiteral(":/images/copy.png"), tr("&Copy"), QKeySequence::Copy,
        tr("Copy the current selection's contents to the clipboard"), &MyEdit::copy1);
    addEntry(QStringLiteral(":/images/paste.png"), tr("&Paste"), QKeySequence::Paste,
        tr("Paste the clipboard's contents into the current selection"), &MyEdit::paste1);
    return menu;
}

void MyEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

void MyEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cut)) {
        cut1();
        event->accept();
    } else if (event->matches(QKeySequence::Copy)) {
        copy1();
        event->accept();
    } else if (event->matches(QKeySequence::Paste)) {
        paste1();
        event->accept();
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
}

void MyEdit::cut1()
{
    cut();
    takeOverSourceText();
}

void MyEdit::copy1()
{
    copy();
    takeOverSourceText();
}

void MyEdit::paste1()
{
    // Every sentence of the running text is one line, pasted text too.
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty() && !isReadOnly())
        insertPlainText(DocumentModel::oneLine(text));
    takeOverSourceText();
}

void MyEdit::documentWasModified() { setWindowModified(document()->isModified()); }

void MyEdit::takeOverSourceText()
{
    if (sourceSide)
        emit sourceTextTaken(toPlainText());
}
