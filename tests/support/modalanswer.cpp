#include "modalanswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {
QString g_lastText;
int g_answered = 0;

void remember(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        g_lastText = box->text();
    else
        g_lastText.clear();
    ++g_answered;
}
}

void ModalAnswer::onNext(std::function<void(QWidget *)> action, int timeoutMs)
{
    auto timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QPointer<QWidget> before = QApplication::activeModalWidget();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, before, action, timeoutMs]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            remember(modal);
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            qWarning("ModalAnswer: no modal dialog appeared");
        }
    });
    timer->start();
}

void ModalAnswer::clickButton(const QString &text, int timeoutMs)
{
    onNext([text](QWidget *modal) {
        const auto buttons = modal->findChildren<QAbstractButton *>();
        for (QAbstractButton *b : buttons) {
            if (b->isVisible() && b->text().remove(QLatin1Char('&')) == text) {
                b->click();
                return;
            }
        }
        qWarning("ModalAnswer: no button '%s'", qPrintable(text));
        modal->close();
    }, timeoutMs);
}

void ModalAnswer::clickStandard(QMessageBox::StandardButton button, int timeoutMs)
{
    onNext([button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && box->button(button)) {
            box->button(button)->click();
            return;
        }
        qWarning("ModalAnswer: no such standard button");
        modal->close();
    }, timeoutMs);
}

QString ModalAnswer::lastText() { return g_lastText; }
int ModalAnswer::answeredCount() { return g_answered; }

void ModalAnswer::reset()
{
    g_lastText.clear();
    g_answered = 0;
}
