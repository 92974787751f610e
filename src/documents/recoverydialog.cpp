#include "recoverydialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecoveryDialog::RecoveryDialog(const QList<Row> &rows, QWidget *parent)
    : QMyModalDialog(tr("Recover Documents"), QStringLiteral("RecoveryDialog"), parent)
    , table(new QTreeWidget)
{
    auto *text = new QLabel(tr("Tolvane did not close properly. These documents had unsaved changes:"));
    text->setWordWrap(true);

    table->setColumnCount(3);
    table->setHeaderLabels({ tr("Document"), tr("Last change"), tr("Items") });
    table->setRootIsDecorated(false);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    const QLocale locale;
    for (const Row &row : rows) {
        auto *item = new QTreeWidgetItem(
            table, { row.name, locale.toString(row.time, QLocale::ShortFormat), QString::number(row.items) });
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    table->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto *buttons = new QDialogButtonBox;
    QPushButton *restore = buttons->addButton(tr("Restore"), QDialogButtonBox::AcceptRole);
    QPushButton *discard = buttons->addButton(tr("Discard"), QDialogButtonBox::DestructiveRole);
    restore->setDefault(true);
    connect(restore, &QPushButton::clicked, this, &QDialog::accept);
    connect(discard, &QPushButton::clicked, this, [this] { done(Discard); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(table);
    layout->addWidget(buttons);
}
