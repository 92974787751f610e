#pragma once

#include <QSize>

class QDialog;

// Size and position of a dialog in the user settings store, under
// objectName() + "/Size" and objectName() + "/Position". Dialogs without an
// object name share the top-level entries.
namespace DialogGeometry {

// Width and height of all screens together.
QSize desktopSize();

// Resizes and moves the dialog to the stored geometry, or to defaultSize
// centred on the desktop when nothing is stored.
void restore(QDialog *dialog, const QSize &defaultSize);

void store(const QDialog *dialog);

}
