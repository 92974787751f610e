#pragma once

#include <QLineEdit>
#include <QStringList>

// One-line entry field that refuses typed ' and \, completes from every value
// left in any such field during the run, and opens the on-screen keyboard
// from its context menu, by double-click or with F9.
class QMyLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit QMyLineEdit(const QString &text, QWidget *parent = nullptr);

    // Values left in any QMyLineEdit so far, in the order they were first left.
    static QStringList history();
    static void clearHistory();

public slots:
    void keyboard();
    void search();
    void appendText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
