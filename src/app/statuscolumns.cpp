#include "statuscolumns.h"

#include "translation/translationprogressbar.h"

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
QFont statusFont()
{
    QFont font(QStringLiteral("SimSun"));
    font.setPointSize(10);
    return font;
}
}

StatusColumns::StatusColumns(QMainWindow *window, TranslationRouter &router)
{
    const QFont font = statusFont();
    auto makeLabel = [&font](const char *name, const QString &text, int width) {
        auto *label = new QLabel(text);
        label->setObjectName(QLatin1String(name));
        label->setFont(font);
        label->setFixedSize(width, 24);
        return label;
    };
    auto column = [](int width, QLabel *top, QLabel *bottom) {
        auto *widget = new QWidget;
        widget->setFixedWidth(width);
        auto *layout = new QVBoxLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(top);
        layout->addWidget(bottom);
        return widget;
    };
    curLang = makeLabel("curLangLabel", tr("CurLang"), 80);
    curVoice = makeLabel("curVoiceLabel", tr("CurVoice"), 80);
    direction = makeLabel("directionLabel", tr("CN"), 70);
    direction->setStyleSheet(QStringLiteral("color:red;"));
    recordState = makeLabel("recordStateLabel", tr("norecording"), 70);
    recordState->setStyleSheet(QStringLiteral("color:blue;"));
    QToolBar *statusToolBar = window->addToolBar(tr("Status"));
    statusToolBar->addWidget(column(80, curLang, curVoice));
    statusToolBar->addWidget(column(70, direction, recordState));
    statusToolBar->addSeparator();

    modeBox = new QComboBox;
    modeBox->setObjectName(QStringLiteral("modeBox"));
    modeBox->setFont(font);
    modeBox->setFixedHeight(48);
    QToolBar *realTimeToolBar = window->addToolBar(tr("RealTime"));
    realTimeToolBar->addWidget(modeBox);

    uiLanguageBox = new QComboBox;
    uiLanguageBox->setObjectName(QStringLiteral("uiLanguageBox"));
    uiLanguageBox->setFont(font);
    uiLanguageBox->setFixedHeight(48);
    uiLanguageBox->setFixedWidth(60);
    uiLanguageBox->addItem(tr("Chinese"));
    uiLanguageBox->addItem(tr("English"));
    QToolBar *languageToolBar = window->addToolBar(tr("Status"));
    languageToolBar->addWidget(uiLanguageBox);

    translationProgress = new TranslationProgressBar(router);
    window->statusBar()->addPermanentWidget(translationProgress);

    // Without grip handles and side margins all six bars fit the 1024-pixel
    // window, status columns included.
    for (QToolBar *bar : window->findChildren<QToolBar *>()) {
        bar->setMovable(false);
        const QMargins margins = bar->layout()->contentsMargins();
        bar->layout()->setContentsMargins(0, margins.top(), 0, margins.bottom());
    }
}

void StatusColumns::retranslate(bool phraseMode)
{
    curLang->setText(tr("CurLang"));
    curVoice->setText(tr("CurVoice"));
    const QSignalBlocker blocker(modeBox);
    modeBox->clear();
    modeBox->addItem(tr("Phrase Mode"));
    modeBox->addItem(tr("Sentence Mode"));
    modeBox->setCurrentIndex(phraseMode ? 0 : 1);
}
