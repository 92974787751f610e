#pragma once

#include "qmylogindialog.h"

class QRadioButton;

// Asks which list colour to change: 0 the background, 1 the selection,
// 2 both back to their defaults.
class QColorOption : public QMyLoginDialog
{
    Q_OBJECT

public:
    explicit QColorOption(int choice, QWidget *parent = nullptr);

    int choice() const;

public slots:
    void accept() override;

private:
    int selectedChoice;
    QRadioButton *backgroundButton;
    QRadioButton *selectedButton;
    QRadioButton *defaultButton;
};
