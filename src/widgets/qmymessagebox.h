#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's message boxes: modal, with button texts set by the program
// so that they follow the interface language rather than Qt's own catalogue.
class QMyMessageBox
{
public:
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static void critical(QWidget *parent, const QString &title, const QString &text);

    // Two buttons, labelled yesText and noText. Escape and closing answer "no".
    // The "no" button is a No button, or a Cancel button when noRole is Cancel.
    static bool question(QWidget *parent, const QString &title, const QString &text,
                         const QString &yesText, const QString &noText,
                         QMessageBox::StandardButton noButton = QMessageBox::No);

    // The save prompt: Save, Discard, Cancel with the given texts.
    // Returns QMessageBox::Save, QMessageBox::Discard or QMessageBox::Cancel.
    static QMessageBox::StandardButton saveDiscardCancel(QWidget *parent, const QString &title,
                                                         const QString &text, const QString &saveText,
                                                         const QString &discardText,
                                                         const QString &cancelText);
};
