#pragma once

#include "qmymodaldialog.h"

#include <QList>

class QLineEdit;
class QMyKeyboardToolButton;

// On-screen keyboard: a text field and Latin keys that type their label at
// the cursor. The caller reads text() after the dialog was accepted.
class QMyKeyboard : public QMyModalDialog
{
    Q_OBJECT

public:
    QMyKeyboard(const QString &name, const QString &text, const QString &title, QWidget *parent = nullptr);

    QString text() const;
    QLineEdit *textField();
    // The character keys in creation order, without "Caps lock" and "<-".
    const QList<QMyKeyboardToolButton *> &keys() const;

    // Points added to the font of the text field, the keys and QMyLineEdit,
    // for the whole process.
    static int fontIncrease();
    static void setFontIncrease(int points);

public slots:
    void buttonPressed(QMyKeyboardToolButton *key);
    void capsLockClicked();
    void backspaceClicked();

private:
    QMyKeyboardToolButton *addKey(const QString &label);
    void setKeyCase(bool upper);

    QLineEdit *field;
    QList<QMyKeyboardToolButton *> keyList;
    bool capsLock;
};
