#pragma once

#include <QWidget>

class QSplitter;

// The central widget: a splitter holding the main window's document area.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *documentArea, QWidget *parent = nullptr);
    ~MainWidget() override;

    QSplitter *splitter() const { return mainSplitter; }

private:
    QSplitter *mainSplitter = nullptr;
};
