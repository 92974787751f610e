#pragma once

#include "qmylogindialog.h"

class QRadioButton;

// Chooses the pause mark written after each Uyghur sentence: 0 adds a comma,
// 1 a space.
class QLoginDialog : public QMyLoginDialog
{
    Q_OBJECT

public:
    explicit QLoginDialog(int mark, QWidget *parent = nullptr);

    int mark() const;

public slots:
    void accept() override;

private:
    int selectedMark;
    QRadioButton *commaButton;
    QRadioButton *spaceButton;
};
