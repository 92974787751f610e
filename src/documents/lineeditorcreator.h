#pragma once

#include <QLineEdit>

// The in-place editor of a list item: a line edit with a larger font. Its
// user property "text" is what the item editor factory moves in and out.
class LineEditorCreator : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText USER true)

public:
    explicit LineEditorCreator(QWidget *parent = nullptr);
};
