#include "qlogindialog.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

QLoginDialog::QLoginDialog(int mark, QWidget *parent)
    : QMyLoginDialog(tr("setting"), parent)
    , selectedMark(mark)
{
    auto *group = new QGroupBox(tr("WW Pause Mark"));
    commaButton = new QRadioButton(tr("add comma"));
    spaceButton = new QRadioButton(tr("add space"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addSpacing(10);
    groupLayout->addWidget(commaButton);
    groupLayout->addSpacing(10);
    groupLayout->addWidget(spaceButton);
    groupLayout->addStretch();
    // Anything but 0 counts as a space, so an odd stored value still opens on a choice.
    if (selectedMark == 0)
        commaButton->setChecked(true);
    else
        spaceButton->setChecked(true);

    layOutWithButtons(group, tr("Cancel"), tr("OK"));

    // The usual size, widened where a translated label would be cut off.
    setFixedSize(widthFor(group), 140);
}

int QLoginDialog::mark() const
{
    return selectedMark;
}

void QLoginDialog::accept()
{
    selectedMark = spaceButton->isChecked() ? 1 : 0;
    QMyLoginDialog::accept();
}
