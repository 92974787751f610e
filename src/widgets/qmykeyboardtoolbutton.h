#pragma once

#include <QToolButton>

// A key of the on-screen keyboard: its label is the text it types. Keys grow
// sideways to fill their row and are never narrower than they are tall.
class QMyKeyboardToolButton : public QToolButton
{
    Q_OBJECT

public:
    explicit QMyKeyboardToolButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
};
