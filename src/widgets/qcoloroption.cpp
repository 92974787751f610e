#include "qcoloroption.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

QColorOption::QColorOption(int choice, QWidget *parent)
    : QMyLoginDialog(tr("setting"), parent)
    , selectedChoice(choice)
{
    auto *group = new QGroupBox(tr("Color Option"));
    backgroundButton = new QRadioButton(tr("list background color"));
    selectedButton = new QRadioButton(tr("list selected color"));
    defaultButton = new QRadioButton(tr("list default color"));
    auto *groupLayout = new QVBoxLayout(group);
    for (QRadioButton *button : { backgroundButton, selectedButton, defaultButton }) {
        groupLayout->addSpacing(10);
        groupLayout->addWidget(button);
    }
    if (selectedChoice == 0)
        backgroundButton->setChecked(true);
    else
        selectedButton->setChecked(true);

    layOutWithButtons(group, tr("Cancel"), tr("OK"));

    // The usual size, widened where a translated label would be cut off.
    setFixedSize(widthFor(group), 180);
}

int QColorOption::choice() const
{
    return selectedChoice;
}

void QColorOption::accept()
{
    if (backgroundButton->isChecked())
        selectedChoice = 0;
    else if (selectedButton->isChecked())
        selectedChoice = 1;
    else
        selectedChoice = 2;
    QMyLoginDialog::accept();
}
