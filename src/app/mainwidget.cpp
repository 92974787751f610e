#include "mainwidget.h"

#include "app/settings.h"

#include <QMdiArea>
#include <QSettings>
#include <QSplitter>
#include <QVBoxLayout>

MainWidget::MainWidget(QWidget *documentArea, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 7, 7, 7);
    mainSplitter = new QSplitter(Qt::Horizontal);
    layout->addWidget(mainSplitter);
    if (documentArea) {
        mainSplitter->addWidget(documentArea);
        mainSplitter->setStretchFactor(0, 1);
    }
    QSettings settings;
    const QByteArray state = settings.value(QLatin1String(SettingsKeys::SplitterSizes)).toByteArray();
    if (!state.isEmpty())
        mainSplitter->restoreState(state);
}

MainWidget::~MainWidget()
{
    QSettings settings;
    settings.setValue(QLatin1String(SettingsKeys::SplitterSizes), mainSplitter->saveState());
}
