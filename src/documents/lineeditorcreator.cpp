#include "lineeditorcreator.h"

LineEditorCreator::LineEditorCreator(QWidget *parent)
    : QLineEdit(parent)
{
    QFont enlarged = font();
    if (enlarged.pointSizeF() > 0)
        enlarged.setPointSizeF(enlarged.pointSizeF() + 10);
    else
        enlarged.setPixelSize(enlarged.pixelSize() + 10);
    setFont(enlarged);
}
