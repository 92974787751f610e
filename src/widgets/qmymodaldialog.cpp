#include "qmymodaldialog.h"

#include "dialoggeometry.h"

QMyModalDialog::QMyModalDialog(const QString &title, const QString &name, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setObjectName(name);
    const QSize desktop = DialogGeometry::desktopSize();
    DialogGeometry::restore(this, QSize(3 * desktop.width() / 4, 3 * desktop.height() / 4));
}

QMyModalDialog::~QMyModalDialog()
{
    DialogGeometry::store(this);
}
