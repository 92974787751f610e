#pragma once

#include "widgets/qmymodaldialog.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QTreeWidget;

// Lists the documents a crashed program left unsaved and asks whether to
// restore or discard them. Closing it decides nothing: they are offered again.
class RecoveryDialog : public QMyModalDialog
{
    Q_OBJECT

public:
    enum Answer { Later = QDialog::Rejected, Restore = QDialog::Accepted, Discard = 2 };

    struct Row
    {
        QString name;
        QDateTime time;
        int items = 0;
    };

    explicit RecoveryDialog(const QList<Row> &rows, QWidget *parent = nullptr);

    QTreeWidget *list() const { return table; }

private:
    QTreeWidget *table;
};
