#include "qmymessagebox.h"

#include <QPushButton>

namespace {
void showSingle(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}
}

void QMyMessageBox::warning(QWidget *parent, const QString &title, const QString &text)
{
    showSingle(parent, QMessageBox::Warning, title, text);
}

void QMyMessageBox::critical(QWidget *parent, const QString &title, const QString &text)
{
    showSingle(parent, QMessageBox::Critical, title, text);
}

bool QMyMessageBox::question(QWidget *parent, const QString &title, const QString &text,
                             const QString &yesText, const QString &noText,
                             QMessageBox::StandardButton noButton)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | noButton, parent);
    box.button(QMessageBox::Yes)->setText(yesText);
    box.button(noButton)->setText(noText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

QMessageBox::StandardButton QMyMessageBox::saveDiscardCancel(QWidget *parent, const QString &title,
                                                             const QString &text, const QString &saveText,
                                                             const QString &discardText,
                                                             const QString &cancelText)
{
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(saveText);
    box.button(QMessageBox::Discard)->setText(discardText);
    box.button(QMessageBox::Cancel)->setText(cancelText);
    box.setDefaultButton(QMessageBox::Save);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Save))
        return QMessageBox::Save;
    if (clicked == box.button(QMessageBox::Cancel))
        return QMessageBox::Cancel;
    return QMessageBox::Discard; // Discard, or the box closed
}
