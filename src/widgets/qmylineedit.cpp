#include "qmylineedit.h"

#include "qmykeyboard.h"
#include "qmymessagebox.h"

#include <QCompleter>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {
QStringList &entryHistory()
{
    static QStringList entries;
    return entries;
}
}

QMyLineEdit::QMyLineEdit(const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
{
    QFont enlarged = font();
    if (enlarged.pointSize() > 0)
        enlarged.setPointSize(enlarged.pointSize() + QMyKeyboard::fontIncrease());
    setFont(enlarged);

    // A snapshot: values entered later are offered only to fields built later.
    auto *completer = new QCompleter(entryHistory(), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    setCompleter(completer);
}

QStringList QMyLineEdit::history()
{
    return entryHistory();
}

void QMyLineEdit::clearHistory()
{
    entryHistory().clear();
}

void QMyLineEdit::keyboard()
{
    QMyKeyboard dialog(QStringLiteral("mylineedits1"), text(), tr("Keyboard"), this);
    if (dialog.exec() == QDialog::Accepted) {
        // Moved before it is destroyed, so that the next keyboard opens just under this field.
        dialog.move(mapToGlobal(QPoint(0, height() - 2)));
        setText(dialog.text());
    }
}

void QMyLineEdit::search()
{
    keyboard();
}

void QMyLineEdit::appendText(const QString &text)
{
    setText(this->text() + text);
}

void QMyLineEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Apostrophe:
        QMyMessageBox::critical(this, tr("Error"), tr("Forbidden character use `"));
        break;
    case Qt::Key_Backslash:
        QMyMessageBox::critical(this, tr("Error"), tr("Forbidden character use /"));
        break;
    case Qt::Key_F9:
        keyboard();
        break;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void QMyLineEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    keyboard();
}

void QMyLineEdit::focusOutEvent(QFocusEvent *event)
{
    QStringList &entries = entryHistory();
    if (!entries.contains(text()))
        entries.append(text());
    QLineEdit::focusOutEvent(event);
}

void QMyLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    if (isReadOnly())
        return;
    QMenu *menu = createStandardContextMenu();
    menu->addAction(tr("Keyboard"), this, &QMyLineEdit::keyboard);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
