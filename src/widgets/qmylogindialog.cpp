#include "qmylogindialog.h"

#include "dialoggeometry.h"

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
