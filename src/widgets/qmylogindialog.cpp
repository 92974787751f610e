#include "qmylogindialog.h"

#include "dialoggeometry.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QMyLoginDialog::QMyLoginDialog(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    const QSize desktop = DialogGeometry::desktopSize();
    DialogGeometry::restore(this, QSize(desktop.width() / 3, desktop.height() / 4));
}

QMyLoginDialog::~QMyLoginDialog()
{
    DialogGeometry::store(this);
}

void QMyLoginDialog::layOutWithButtons(QWidget *group, const QString &cancelText, const QString &okText)
{
    auto *cancelButton = new QPushButton(cancelText);
    auto *okButton = new QPushButton(okText);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttonLayout = new QHBoxLayout;
    buttonLayout->addWidget(cancelButton);
    buttonLayout->addWidget(okButton);

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(group);
    mainLayout->addLayout(buttonLayout);
}

int QMyLoginDialog::widthFor(const QWidget *group) const
{
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    return qMax(200, group->minimumSizeHint().width() + margins.left() + margins.right());
}
