#pragma once

#include "documents/documentmodel.h"
#include "documents/itemcolumnmodel.h"
#include "documents/myedit.h"

#include <QListView>
#include <QSplitter>
#include <QStringList>

class MyWrapItem;
class QFont;
class QMenu;
class QScrollBar;
class QTimer;

// One document on screen: its model's items shown as two level lists (source
// sentences and translations), or as two running texts in "Comma separate"
// mode. The views follow the model's changes row by row, so a long document
// is not laid out and measured again per sentence.
class MdiChild : public QSplitter
{
    Q_OBJECT

public:
    explicit MdiChild(QWidget *parent = nullptr);

    // Unique in the process and never reused; translation results find their document by it.
    quint64 documentId() const { return document->documentId(); }
    DocumentModel *model() const { return document; }

    void newFile();
    bool loadFile(const QString &fileName, bool oneItemPerLine);
    bool save();
    bool saveAs(QString &chosenName);
    bool saveFile(const QString &fileName);
    bool saveAsTabFile(QString &chosenName);
    bool maybeSave();
    QString currentFile() const { return curFile; }
    bool hasFileName() const { return !isUntitled; }
    // A document brought back after a crash: modified, under fileName when it had one, else untitled.
    void restore(const QString &fileName, const QVector<DocumentModel::Item> &items);
    QString userFriendlyCurrentFile() const;
    static QString strippedName(const QString &fullFileName);
    QString currentSourceText() const;
    void applyTextMode();

    bool isModified() const;
    void setModified(bool modified);

    QStringList sources() const { return document->sources(); }
    QStringList translations() const { return document->translations(); }
    // Replaces all items, as reading a file does; the modified flag is left alone.
    void setItems(const QStringList &sources, const QStringList &translations);
    bool addUp();
    bool addDown();
    bool deleteCurrent();
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
    ItemColumnModel *sourceModel;
    QListView *sourceView;
    ItemColumnModel *translationModel;
    QListView *translationView;

signals:
    void closeChild();
    // A re-translation of the item now at row.
    void translationRequested(int row, quint64 itemId, const QString &text);
    // The operator's wishes for this document's translations still queued, and for those that failed.
    void cancelTranslationRequested(DocumentModel *document);
    void retryFailedRequested(DocumentModel *document);

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
    bool isItemRow(int row) const;
    bool insertBlankItem(int row);
    bool writeFile(const QString &fileName, const QByteArray &data);
    void followScroll(QScrollBar *follower, int value);
    void connectModel();
    void sourceLinesChanged(int row);
    void showRunningSource();
    void showRunningTranslation();
    void showBottom(QListView *view);
    void clearCurrentItems();
    void relayout(QListView *view);
    int currentSourceRow() const;
    void copyRow(ItemColumnModel *model, QListView *view);
    void copyEvery(ItemColumnModel *model);

    DocumentModel *document;
    QScrollBar *sourceScrollBar;
    QScrollBar *translationScrollBar;
    QTimer *refreshTimer;

    bool followingScroll = false;
    bool showingRunningText = false;
    int sourceViewportWidth = -1;
    int translationViewportWidth = -1;
};
