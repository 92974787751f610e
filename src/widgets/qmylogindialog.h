#pragma once

#include <QDialog>

// Base of the small settings dialogs. It has no object name, so all of them
// open where the last one was left.
class QMyLoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit QMyLoginDialog(const QString &title, QWidget *parent = nullptr);
    ~QMyLoginDialog() override;
};
