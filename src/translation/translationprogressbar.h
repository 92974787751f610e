#pragma once

#include <QProgressBar>

class TranslationRouter;

// The status bar's progress of a long batch of translations: how many lines
// are done out of how many were queued. Hidden while a batch holds only a few
// lines, as single recognised sentences do.
class TranslationProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    static constexpr int fewLines = 3;

    explicit TranslationProgressBar(TranslationRouter &router, QWidget *parent = nullptr);

    void showProgress(int done, int total);

protected:
    void changeEvent(QEvent *event) override;
};
