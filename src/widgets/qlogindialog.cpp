#include "qlogindialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
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

    auto *cancelButton = new QPushButton(tr("Cancel"));
    auto *okButton = new QPushButton(tr("OK"));
    connect(cancelButton, &QPushButton::clicked, this, &QLoginDialog::reject);
    connect(okButton, &QPushButton::clicked, this, &QLoginDialog::accept);
    auto *buttonLayout = new QHBoxLayout;
    buttonLayout->addWidget(cancelButton);
    buttonLayout->addWidget(okButton);

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(group);
    mainLayout->addLayout(buttonLayout);

    setFixedSize(200, 140);
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
