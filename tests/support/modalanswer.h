#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Answers the next modal dialog from the event loop, so that the real dialog
// code runs in tests. Call before the code that opens the dialog.
class ModalAnswer
{
public:
    // Runs action on the next modal widget that appears (polled every 10 ms).
    static void onNext(std::function<void(QWidget *modal)> action, int timeoutMs = 10000);
    // Clicks the button whose text (without '&') equals text.
    static void clickButton(const QString &text, int timeoutMs = 10000);
    static void clickStandard(QMessageBox::StandardButton button, int timeoutMs = 10000);

    // Text of the last message box answered by this helper.
    static QString lastText();
    static int answeredCount();
    static void reset();
};
