#pragma once

#include "widgets/qmylogindialog.h"

class QGroupBox;
class QMyLineEdit;
class QRadioButton;

// Chooses between the default servers and the operator's own speech and
// translation hosts. On accept the process-wide host values change.
class NetworkDialog : public QMyLoginDialog
{
    Q_OBJECT
public:
    NetworkDialog(const QString &voice, const QString &ww, const QString &cn, QWidget *parent = nullptr);

    QRadioButton *defaultServerButton() const { return defaultButton; }
    QRadioButton *otherServerButton() const { return otherButton; }
    QGroupBox *otherServerGroup() const { return otherGroup; }
    QMyLineEdit *voiceHostEdit() const { return voiceEdit; }
    QMyLineEdit *translateHostWWEdit() const { return wwEdit; }
    QMyLineEdit *translateHostCNEdit() const { return cnEdit; }

public slots:
    void radioClick();
    void accept() override;

private:
    QRadioButton *defaultButton = nullptr;
    QRadioButton *otherButton = nullptr;
    QGroupBox *otherGroup = nullptr;
    QMyLineEdit *voiceEdit = nullptr;
    QMyLineEdit *wwEdit = nullptr;
    QMyLineEdit *cnEdit = nullptr;
};
