#pragma once

#include "documents/myedit.h"

#include <QListView>
#include <QSplitter>
#include <QStringList>
#include <QStringListModel>

class MyWrapItem;
class QFont;
class QMenu;
class QScrollBar;
class QTimer;

// One document: its items shown as two level lists (source sentences and
// translations), or as two running texts in "Comma separate" mode. The lists
// are the master copy; every change is passed to the models row by row, so a
// long document does not lay out and measure everything again per sentence.
class MdiChild : public QSplitter
{
    Q_OBJECT

public:
    explicit MdiChild(QWidget *parent = nullptr);

    // Unique in the process and never reused; translation results find their document by it.
    quint64 documentId() const { return id; }

    void newFile();
    bool loadFile(const QString &fileName, bool oneItemPerLine);
    bool save();
    bool saveAs(QString &chosenName);
    bool saveFile(const QString &fileName);
    bool saveAsTabFile(QString &chosenName);
    bool maybeSave();
    QString currentFile() const { return curFile; }
    QString userFriendlyCurrentFile() const;
    static QString strippedName(const QString &fullFileName);
    QString currentSourceText() const;
    void applyTextMode();

    bool isModified() const;
    void setModified(bool modified);

    const QStringList &sources() const { return sourceList; }
    const QStringList &translations() const { return translationList; }
    // Replaces all items, as reading a file does; the modified flag is left alone.
    void setItems(const QStringList &sources, const QStringList &translations);
    void appendSource(const QString &text);
    void replaceLastSource(const QString &text);
    void removeLastSource();
    void appendTranslation(const QString &text);
    void replaceTranslation(int row, const QString &text);
    bool addUp();
    bool addDown();
    bool deleteCurrent();
    void takeBackLists();
    void rebuildContinuousText(const QString &sourceSeparator, const QString &translationSeparator);
    void applyFonts(const QFont &sourceFont, const QFont &targetFont, bool sourceRightToLeft, int lineHeight);

    // The context menus, built afresh on each request; the caller owns them.
    QMenu *createSourceMenu();
    QMenu *createTranslationMenu();

    MyWrapItem *sourceDelegate() const;
    MyWrapItem *translationDelegate() const;

private:
    bool isUntitled = true;
    QString curFile;

public:
    MyEdit *sourceEdit;
    MyEdit *translationEdit;
    QStringListModel *sourceModel;
    QListView *sourceView;
    QStringListModel *translationModel;
    QListView *translationView;

signals:
    void closeChild();
    void translationRequested(int row, const QString &text);

public slots:
    void documentWasModified();
    void transelItem();
    void tranallItem();
    void addUpItem();
    void addDownItem();
    void deleteItem();
    void copy1();
    void copy2();
    void copyAll();
    void copyAll2();
    void popupMenu(const QPoint &pos);
    void popupMenu2(const QPoint &pos);
    void onScrollBarValueChanged1(int value);
    void onScrollBarValueChanged2(int value);
    void view1Clicked(const QModelIndex &index);
    void view2Clicked(const QModelIndex &index);
    void MyTimerSlot();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setRow(QStringList &list, QStringListModel *model, int row, const QString &text);
    void storeRow(QStringList &list, int row, const QString &text);
    bool isItemRow(int row) const;
    bool insertBlankItem(int row);
    bool writeFile(const QString &fileName, const QByteArray &data);
    void followScroll(QScrollBar *follower, int value);
    void insertRow(QStringList &list, QStringListModel *model, int row, const QString &text);
    void removeRow(QStringList &list, QStringListModel *model, int row);
    void takeBackEdit(QStringList &list, QStringListModel *model, const QModelIndex &topLeft,
        const QModelIndex &bottomRight);
    void sourceLinesChanged(int row, const QString &oldText);
    void showBottom(QListView *view);
    void clearCurrentItems();
    void relayout(QListView *view);
    int currentSourceRow() const;
    void copyRow(QStringListModel *model, QListView *view);
    void copyEvery(QStringListModel *model);

    QStringList sourceList;
    QStringList translationList;
    QScrollBar *sourceScrollBar;
    QScrollBar *translationScrollBar;
    QTimer *refreshTimer;

    quint64 id;
    bool followingScroll = false;
    int sourceViewportWidth = -1;
};
