#include "qmykeyboard.h"

#include "qmykeyboardtoolbutton.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {
int g_fontIncrease = 0;

void enlargeFont(QWidget *widget)
{
    QFont font = widget->font();
    if (font.pointSize() > 0) // pixel-sized fonts have no point size to raise
        font.setPointSize(font.pointSize() + g_fontIncrease);
    widget->setFont(font);
}
}

int QMyKeyboard::fontIncrease()
{
    return g_fontIncrease;
}

void QMyKeyboard::setFontIncrease(int points)
{
    g_fontIncrease = points;
}

QMyKeyboard::QMyKeyboard(const QString &name, const QString &text, const QString &title, QWidget *parent)
    : QMyModalDialog(title, name, parent)
{
    QSettings settings;
    capsLock = settings.value(QStringLiteral("mykeyboard/capslock"), false).toBool();

    auto *group = new QGroupBox;
    auto *groupLayout = new QVBoxLayout(group);

    field = new QLineEdit(text);
    enlargeFont(field);
    groupLayout->addWidget(field);

    auto addRow = [this, groupLayout](const QString &labels) {
        auto *row = new QHBoxLayout;
        for (const QChar c : labels)
            row->addWidget(addKey(QString(c)));
        groupLayout->addLayout(row);
        return row;
    };

    addRow(QStringLiteral("0123456789"));

    auto *capsButton = new QMyKeyboardToolButton(QStringLiteral("Caps lock"));
    auto *backspaceButton = new QMyKeyboardToolButton(QStringLiteral("<-"));
    connect(capsButton, &QMyKeyboardToolButton::clicked, this, &QMyKeyboard::capsLockClicked);
    connect(backspaceButton, &QMyKeyboardToolButton::clicked, this, &QMyKeyboard::backspaceClicked);
    QHBoxLayout *letterRow = addRow(QStringLiteral("QWERTYUIOP"));
    letterRow->insertWidget(0, capsButton);
    letterRow->addWidget(backspaceButton);

    addRow(QStringLiteral("ASDFGHJKL*`"));
    addRow(QStringLiteral("ZXCVBNM,."));
    addRow(QStringLiteral(" "));

    auto *okButton = new QPushButton(QIcon(QStringLiteral(":images/ok.svg")), tr("OK"));
    auto *cancelButton = new QPushButton(QIcon(QStringLiteral("images/cancel.svg")), tr("Cancel"));
    connect(okButton, &QPushButton::clicked, this, &QMyKeyboard::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QMyKeyboard::reject);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);
    groupLayout->addLayout(buttonRow);

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(group);

    if (!capsLock)
        setKeyCase(false);
}

QString QMyKeyboard::text() const
{
    return field->text();
}

QLineEdit *QMyKeyboard::textField()
{
    return field;
}

const QList<QMyKeyboardToolButton *> &QMyKeyboard::keys() const
{
    return keyList;
}

QMyKeyboardToolButton *QMyKeyboard::addKey(const QString &label)
{
    auto *key = new QMyKeyboardToolButton(label);
    enlargeFont(key);
    // The label is read at click time, so the key types whatever case it shows.
    connect(key, &QMyKeyboardToolButton::clicked, this, [this, key]() { buttonPressed(key); });
    keyList.append(key);
    return key;
}

void QMyKeyboard::buttonPressed(QMyKeyboardToolButton *key)
{
    field->insert(key->text());
}

void QMyKeyboard::capsLockClicked()
{
    setKeyCase(!capsLock);
    capsLock = !capsLock;
}

void QMyKeyboard::backspaceClicked()
{
    field->backspace();
}

void QMyKeyboard::setKeyCase(bool upper)
{
    for (QMyKeyboardToolButton *key : qAsConst(keyList))
        key->setText(upper ? key->text().toUpper() : key->text().toLower());
}
