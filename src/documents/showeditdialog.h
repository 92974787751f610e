#pragma once

#include <QDialog>

class QRadioButton;

// Chooses the edit orientation (0 horizontal, 1 vertical) and the text mode
// (0 "Comma separate", 1 "one sentence per line"); the caller reads both after exec.
class ShowEditDialog : public QDialog
{
    Q_OBJECT

public:
    ShowEditDialog(int editStyle, int textMode, QWidget *parent = nullptr);

    int editStyle() const { return orientation; }
    int textMode() const { return mode; }

public slots:
    void accept() override;

private:
    int orientation;
    int mode;
    QRadioButton *horizontalButton;
    QRadioButton *verticalButton;
    QRadioButton *commaButton;
    QRadioButton *sentenceButton;
};
