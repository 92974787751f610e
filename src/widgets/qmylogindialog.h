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

protected:
    // The option dialogs' layout: the group, then Cancel and OK in that order.
    void layOutWithButtons(QWidget *group, const QString &cancelText, const QString &okText);
    // 200 pixels, or wider where the group's widest label would be cut off.
    int widthFor(const QWidget *group) const;
};
