#include "dialoggeometry.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QSettings>

namespace {
QString sizeKey(const QDialog *dialog)
{
    return dialog->objectName() + QStringLiteral("/Size");
}

QString positionKey(const QDialog *dialog)
{
    return dialog->objectName() + QStringLiteral("/Position");
}
}

QSize DialogGeometry::desktopSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualSize() : QSize();
}

void DialogGeometry::restore(QDialog *dialog, const QSize &defaultSize)
{
    const QSize desktop = desktopSize();
    // Centred on a desktop whose origin is (0, 0), whatever the screens' real origin.
    const QPoint defaultPosition(desktop.width() / 2 - defaultSize.width() / 2,
                                 desktop.height() / 2 - defaultSize.height() / 2);
    QSettings settings;
    dialog->resize(settings.value(sizeKey(dialog), defaultSize).toSize());
    dialog->move(settings.value(positionKey(dialog), defaultPosition).toPoint());
}

void DialogGeometry::store(const QDialog *dialog)
{
    QSettings settings;
    settings.setValue(sizeKey(dialog), dialog->size());
    settings.setValue(positionKey(dialog), dialog->pos());
}
