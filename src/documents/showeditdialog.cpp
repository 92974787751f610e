#include "showeditdialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QGroupBox *choiceGroup(const QString &title, QRadioButton *first, QRadioButton *second)
{
    auto *group = new QGroupBox(title);
    auto *layout = new QVBoxLayout(group);
    layout->addSpacing(10);
    layout->addWidget(first);
    layout->addSpacing(10);
    layout->addWidget(second);
    layout->addStretch();
    return group;
}
}

ShowEditDialog::ShowEditDialog(int editStyle, int textMode, QWidget *parent)
    : QDialog(parent)
    , orientation(editStyle)
    , mode(textMode)
    , horizontalButton(new QRadioButton(tr("Horizontal")))
    , verticalButton(new QRadioButton(tr("Vertical")))
    , commaButton(new QRadioButton(tr("Comma separate")))
    , sentenceButton(new QRadioButton(tr("one sentence per line")))
{
    (editStyle == 0 ? horizontalButton : verticalButton)->setChecked(true);
    (textMode == 0 ? commaButton : sentenceButton)->setChecked(true);

    auto *okButton = new QPushButton(tr("OK"));
    auto *cancelButton = new QPushButton(tr("Cancel"));
    connect(okButton, &QPushButton::clicked, this, &ShowEditDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &ShowEditDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(choiceGroup(tr("Edit Orientation"), horizontalButton, verticalButton));
    layout->addWidget(choiceGroup(tr("Text Mode"), commaButton, sentenceButton));
    layout->addLayout(buttons);
}

void ShowEditDialog::accept()
{
    orientation = verticalButton->isChecked() ? 1 : 0;
    mode = sentenceButton->isChecked() ? 1 : 0;
    QDialog::accept();
}
