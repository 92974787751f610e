#pragma once

#include <QDialog>

// Base of the larger modal dialogs; the object name keys the stored geometry.
class QMyModalDialog : public QDialog
{
    Q_OBJECT

public:
    QMyModalDialog(const QString &title, const QString &name, QWidget *parent = nullptr);
    ~QMyModalDialog() override;
};
