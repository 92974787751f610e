#include "translationprogressbar.h"

#include "translation/translationrouter.h"

#include <QEvent>

TranslationProgressBar::TranslationProgressBar(TranslationRouter &router, QWidget *parent)
    : QProgressBar(parent)
{
    setObjectName(QStringLiteral("translationProgress"));
    setFormat(tr("Translated %v of %m"));
    setTextVisible(true);
    setFixedWidth(260);
    showProgress(router.done(), router.total());
    connect(&router, &TranslationRouter::progressChanged, this, &TranslationProgressBar::showProgress);
}

void TranslationProgressBar::showProgress(int done, int total)
{
    setVisible(total > fewLines);
    setRange(0, qMax(total, 1));
    setValue(done);
}

void TranslationProgressBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setFormat(tr("Translated %v of %m"));
    QProgressBar::changeEvent(event);
}
