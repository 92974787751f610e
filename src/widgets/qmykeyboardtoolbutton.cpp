#include "qmykeyboardtoolbutton.h"

QMyKeyboardToolButton::QMyKeyboardToolButton(const QString &text, QWidget *parent)
    : QToolButton(parent)
{
    setText(text);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize QMyKeyboardToolButton::sizeHint() const
{
    QSize size = QToolButton::sizeHint();
    size.rheight() += 2;
    size.setWidth(qMax(size.width(), size.height()));
    return size;
}
