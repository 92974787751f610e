#include "networkdialog.h"

#include "app/appstate.h"
#include "widgets/qmykeyboard.h"
#include "widgets/qmylineedit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

NetworkDialog::NetworkDialog(const QString &voice, const QString &ww, const QString &cn, QWidget *parent)
    : QMyLoginDialog(tr("Network"), parent)
{
    QMyKeyboard::setFontIncrease(3);

    auto *serverGroup = new QGroupBox(tr("Server Setting"));
    defaultButton = new QRadioButton(tr("Use Default Server"));
    otherButton = new QRadioButton(tr("Use Other Server"));
    auto *serverLayout = new QVBoxLayout(serverGroup);
    serverLayout->addSpacing(10);
    serverLayout->addWidget(defaultButton);
    serverLayout->addSpacing(10);
    serverLayout->addWidget(otherButton);
    serverLayout->addStretch();

    otherGroup = new QGroupBox(tr("Other Server Setting"));
    auto *grid = new QGridLayout(otherGroup);
    voiceEdit = new QMyLineEdit(voice, otherGroup);
    wwEdit = new QMyLineEdit(ww, otherGroup);
    cnEdit = new QMyLineEdit(cn, otherGroup);
    const struct {
        QString label;
        QMyLineEdit *edit;
    } rows[] = { { tr("Voice Host"), voiceEdit },
                 { tr("Translation Host WW"), wwEdit },
                 { tr("Translation Host CN"), cnEdit } };
    int row = 0;
    for (const auto &r : rows) {
        // Room for a whole "http://host:port" on small screens too.
        r.edit->setMinimumWidth(r.edit->fontMetrics().averageCharWidth() * 26);
        auto *label = new QLabel(r.label);
        label->setBuddy(r.edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.edit, row, 1, 1, 5);
        ++row;
    }

    auto *okButton = new QPushButton(QIcon(QStringLiteral(":images/ok.svg")), tr("OK"));
    auto *cancelButton = new QPushButton(QIcon(QStringLiteral(":images/cancel.svg")), tr("Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(serverGroup);
    layout->addSpacing(10);
    layout->addWidget(otherGroup);
    layout->addStretch();
    layout->addLayout(buttons);

    if (!voice.isEmpty()) {
        otherButton->setChecked(true);
        otherGroup->show();
    } else {
        defaultButton->setChecked(true);
        otherGroup->hide();
    }

    connect(defaultButton, &QRadioButton::clicked, this, &NetworkDialog::radioClick);
    connect(otherButton, &QRadioButton::clicked, this, &NetworkDialog::radioClick);
    connect(okButton, &QPushButton::clicked, this, &NetworkDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &NetworkDialog::reject);
}

void NetworkDialog::radioClick()
{
    otherGroup->setVisible(otherButton->isChecked());
    otherGroup->layout()->update();
    update();
}

void NetworkDialog::accept()
{
    if (otherButton->isChecked()) {
        AppState::voiceHost = voiceEdit->text().trimmed();
        AppState::translateHostWW = wwEdit->text().trimmed();
        AppState::translateHostCN = cnEdit->text().trimmed();
    } else {
        AppState::voiceHost.clear();
        AppState::translateHostWW.clear();
        AppState::translateHostCN.clear();
    }
    QMyLoginDialog::accept();
}
