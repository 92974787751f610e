#include "mdichild.h"

#include "app/appstate.h"
#include "documents/documentfile.h"
#include "documents/itemlistview.h"
#include "documents/lineeditorcreator.h"
#include "documents/myedit.h"
#include "documents/mywrapitem.h"
#include "widgets/qmymessagebox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemEditorFactory>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextOption>
#include <QTimer>

namespace {
int sequenceNumber = 1;
}

MdiChild::MdiChild(QWidget *parent)
    : QSplitter(parent)
    , document(new DocumentModel(this))
{
    sourceEdit = new MyEdit;
    sourceEdit->setSourceSide(true);
    translationEdit = new MyEdit;
    setOrientation(Qt::Horizontal);

    auto *factory = new QItemEditorFactory;
    factory->registerEditor(QVariant::String, new QStandardItemEditorCreator<LineEditorCreator>());
    QItemEditorFactory::setDefaultFactory(factory);

    sourceModel = document->sourceColumn();
    sourceView = new ItemListView;
    sourceView->setModel(sourceModel);
    sourceView->setItemDelegate(new MyWrapItem(1, sourceView, nullptr));
    translationModel = document->translationColumn();
    translationView = new ItemListView;
    translationView->setModel(translationModel);
    translationView->setItemDelegate(new MyWrapItem(2, translationView, sourceView));
    sourceDelegate()->setPartner(translationView);

    addWidget(sourceView);
    addWidget(translationView);
    addWidget(sourceEdit);
    addWidget(translationEdit);

    sourceScrollBar = sourceView->verticalScrollBar();
    translationScrollBar = translationView->verticalScrollBar();
    connect(sourceScrollBar, &QScrollBar::valueChanged, this, &MdiChild::onScrollBarValueChanged1);
    connect(translationScrollBar, &QScrollBar::valueChanged, this, &MdiChild::onScrollBarValueChanged2);

    sourceView->setContextMenuPolicy(Qt::CustomContextMenu);
    translationView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sourceView, &QWidget::customContextMenuRequested, this, &MdiChild::popupMenu);
    connect(translationView, &QWidget::customContextMenuRequested, this, &MdiChild::popupMenu2);

    connect(sourceView, &QAbstractItemView::clicked, this, &MdiChild::view1Clicked);
    connect(translationView, &QAbstractItemView::clicked, this, &MdiChild::view2Clicked);

    sourceView->setSelectionBehavior(QAbstractItemView::SelectRows);
    translationView->setSelectionBehavior(QAbstractItemView::SelectRows);

    applyTextMode();

    refreshTimer = new QTimer(this);
    connect(refreshTimer, &QTimer::timeout, this, &MdiChild::MyTimerSlot);

    connectModel();
    // Each list's rows depend on the other list's width too.
    sourceView->viewport()->installEventFilter(this);
    translationView->viewport()->installEventFilter(this);
}

void MdiChild::connectModel()
{
    connect(document, &DocumentModel::sourceTextChanged, this, &MdiChild::sourceLinesChanged);
    connect(document, &DocumentModel::runningSourceChanged, this, &MdiChild::showRunningSource);
    connect(document, &DocumentModel::runningTranslationChanged, this, &MdiChild::showRunningTranslation);
    // New items at the end are what the operator is waiting for.
    connect(sourceModel, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int, int last) {
        if (last == sourceModel->rowCount() - 1)
            showBottom(sourceView);
    });
    // A row is as tall as the longer of its two texts.
    connect(translationModel, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &first, const QModelIndex &last) {
            static_cast<ItemListView *>(sourceView)->remeasureRows(first.row(), last.row());
        });
    connect(translationModel, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex &, int, int last) {
            if (last == translationModel->rowCount() - 1)
                showBottom(translationView);
        });
    // Typing in the running source text marks the document modified, and
    // sentence recognition continues from what the view shows.
    connect(sourceEdit->document(), &QTextDocument::modificationChanged, this, [this](bool changed) {
        if (changed && !showingRunningText)
            document->setModified(true);
    });
    // The edit box only tells of its first change, so a saved document starts it afresh.
    connect(document, &DocumentModel::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            sourceEdit->document()->setModified(false);
    });
    document->setEditedSourceReader([this] { return sourceEdit->toPlainText(); });
    connect(sourceEdit, &MyEdit::sourceTextTaken, this,
        [this](const QString &text) { document->setRunningSource(text, false); });
}

void MdiChild::newFile()
{
    isUntitled = true;
    curFile = tr("document%1.txt").arg(sequenceNumber++);
    setWindowTitle(curFile + QStringLiteral("[*]"));
    applyTextMode();
}

bool MdiChild::loadFile(const QString &fileName, bool oneItemPerLine)
{
    DocumentFile::Items items;
    QString error;
    if (!DocumentFile::read(fileName, oneItemPerLine, &items, &error)) {
        QMyMessageBox::warning(this, tr("MDI"), tr("Cannot read file %1:\n%2.").arg(fileName, error));
        return false;
    }

    curFile = fileName;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setItems(items.sources, items.translations);
    QApplication::restoreOverrideCursor();

    setWindowModified(false);
    setWindowTitle(userFriendlyCurrentFile());
    isUntitled = false;
    setModified(false);
    refreshTimer->start(1000);
    return true;
}

void MdiChild::restore(const QString &fileName, const QVector<DocumentModel::Item> &items)
{
    if (fileName.isEmpty()) {
        newFile();
    } else {
        curFile = fileName;
        isUntitled = false;
        setWindowTitle(userFriendlyCurrentFile() + QStringLiteral("[*]"));
    }
    sourceScrollBar->setValue(0);
    translationScrollBar->setValue(0);
    document->restoreItems(items);
    setModified(true);
    refreshTimer->start(1000);
}

bool MdiChild::save()
{
    if (isUntitled) {
        QString chosenName;
        return saveAs(chosenName);
    }
    return saveFile(curFile);
}

bool MdiChild::saveAs(QString &chosenName)
{
    const QString answer = QFileDialog::getSaveFileName(this, tr("Save As"), curFile, tr("*.txt"));
    if (answer.isEmpty())
        return false;
    chosenName = DocumentFile::saveAsName(answer);
    // The dialog asked about the name typed; the suffix may name another file.
    if (chosenName != answer && QFileInfo::exists(chosenName)
        && !QMyMessageBox::question(this, tr("Save As"),
            tr("%1 already exists.\nDo you want to replace it?").arg(strippedName(chosenName)), tr("Yes"),
            tr("No")))
        return false;
    curFile = chosenName;
    return saveFile(chosenName);
}

bool MdiChild::saveFile(const QString &fileName)
{
    if (!writeFile(fileName, DocumentFile::encode(document->sources(), document->translations())))
        return false;
    setWindowModified(false);
    setWindowTitle(userFriendlyCurrentFile());
    isUntitled = false;
    setModified(false);
    return true;
}

bool MdiChild::saveAsTabFile(QString &chosenName)
{
    const QString answer = QFileDialog::getSaveFileName(
        this, tr("Save As"), DocumentFile::exportProposal(curFile), tr("*.csv"));
    if (answer.isEmpty())
        return false;
    chosenName = answer;
    return writeFile(answer, DocumentFile::encodeCsv(document->sources(), document->translations()));
}

bool MdiChild::writeFile(const QString &fileName, const QByteArray &data)
{
    QString error;
    if (DocumentFile::write(fileName, data, &error))
        return true;
    QMyMessageBox::warning(this, tr("MDI"), tr("Cannot write file %1:\n%2.").arg(fileName, error));
    return false;
}

bool MdiChild::maybeSave()
{
    if (!isModified())
        return true;
    const QMessageBox::StandardButton answer = QMyMessageBox::saveDiscardCancel(this, tr("Application"),
        tr("'%1' has been modified.\nDo you want to save your changes?").arg(userFriendlyCurrentFile()),
        tr("Save"), tr("Discard"), tr("Cancel"));
    if (answer == QMessageBox::Save)
        return save();
    return answer != QMessageBox::Cancel;
}

QString MdiChild::userFriendlyCurrentFile() const { return strippedName(curFile); }

QString MdiChild::strippedName(const QString &fullFileName) { return QFileInfo(fullFileName).fileName(); }

QString MdiChild::currentSourceText() const
{
    if (AppState::textMode == 0)
        return sourceEdit->toPlainText();
    QString text;
    for (int row = 0; row < document->count(); ++row) {
        text += document->at(row).source;
        text += QLatin1Char('\n');
    }
    return text;
}

void MdiChild::applyTextMode()
{
    const bool lists = AppState::textMode != 0;
    widget(0)->setVisible(lists);
    widget(1)->setVisible(lists);
    widget(2)->setVisible(!lists);
    widget(3)->setVisible(!lists);
}

bool MdiChild::isModified() const { return document->isModified(); }

void MdiChild::setModified(bool modified) { document->setModified(modified); }

void MdiChild::setItems(const QStringList &sources, const QStringList &translations)
{
    // A new list is shown from its top, which also lets a long one be laid out in batches.
    sourceScrollBar->setValue(0);
    translationScrollBar->setValue(0);
    document->setItems(sources, translations);
    sourceView->viewport()->update();
    translationView->viewport()->update();
}

int MdiChild::currentSourceRow() const { return sourceView->currentIndex().row(); }

// Rows the item commands may touch: those with both a source and a translation.
bool MdiChild::isItemRow(int row) const
{
    return row >= 0 && row < document->count() && row < document->translationCount();
}

bool MdiChild::insertBlankItem(int row)
{
    if (!isItemRow(row))
        return false;
    document->insertBlank(row);
    clearCurrentItems();
    setModified(true);
    return true;
}

bool MdiChild::addUp() { return insertBlankItem(currentSourceRow()); }

// Without a current item (-1) the blank item goes to the top.
bool MdiChild::addDown() { return insertBlankItem(currentSourceRow() + 1); }

bool MdiChild::deleteCurrent()
{
    const int row = currentSourceRow();
    if (!isItemRow(row))
        return false;
    document->remove(row);
    clearCurrentItems();
    setModified(true);
    return true;
}

void MdiChild::rebuildContinuousText(const QString &sourceSeparator, const QString &translationSeparator)
{
    applyTextMode();
    if (AppState::textMode != 0)
        return;
    document->rebuildRunningTexts(sourceSeparator, translationSeparator);
}

// Showing the items in another form is no change to the document.
void MdiChild::showRunningSource()
{
    if (AppState::textMode != 0)
        return;
    showingRunningText = true;
    sourceEdit->setPlainText(document->shownSource());
    sourceEdit->moveCursor(QTextCursor::End);
    showingRunningText = false;
}

void MdiChild::showRunningTranslation()
{
    if (AppState::textMode != 0)
        return;
    translationEdit->setPlainText(document->runningTranslation());
    translationEdit->moveCursor(QTextCursor::End);
}

void MdiChild::applyFonts(
    const QFont &sourceFont, const QFont &targetFont, bool sourceRightToLeft, int lineHeight)
{
    const Qt::LayoutDirection sourceDirection = sourceRightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::LayoutDirection targetDirection = sourceRightToLeft ? Qt::LeftToRight : Qt::RightToLeft;
    if (AppState::textMode == 0) {
        auto option = [](Qt::LayoutDirection direction) {
            QTextOption textOption(direction == Qt::RightToLeft ? Qt::AlignRight | Qt::AlignAbsolute
                                                                : Qt::AlignLeft | Qt::AlignAbsolute);
            textOption.setTextDirection(direction);
            return textOption;
        };
        sourceEdit->document()->setDefaultTextOption(option(sourceDirection));
        sourceEdit->setFont(sourceFont);
        translationEdit->document()->setDefaultTextOption(option(targetDirection));
        translationEdit->setFont(targetFont);
        return;
    }
    sourceView->setFont(sourceFont);
    sourceView->setLayoutDirection(sourceDirection);
    translationView->setFont(targetFont);
    translationView->setLayoutDirection(targetDirection);
    sourceDelegate()->lineHeight = lineHeight;
    translationDelegate()->lineHeight = lineHeight;
    relayout(sourceView);
    relayout(translationView);
}

QMenu *MdiChild::createSourceMenu()
{
    auto *menu = new QMenu(this);
    auto addEntry = [this, menu](const QString &icon, const QString &text, const QString &tip,
                        void (MdiChild::*slot)()) {
        auto *action = new QAction(QIcon(icon), text, menu);
        action->setStatusTip(tip);
        connect(action, &QAction::triggered, this, slot);
        menu->addAction(action);
        return action;
    };
    const bool hasCurrent = currentSourceRow() != -1;
    if (hasCurrent)
        addEntry(QStringLiteral(":/images/Right.png"), tr("translate selection"),
            tr("translate selection item"), &MdiChild::transelItem);
    addEntry(QStringLiteral(":/images/Pause.png"), tr("translate all"), tr("translate all"),
        &MdiChild::tranallItem);
    if (hasCurrent) {
        addEntry(QStringLiteral(":/images/AddUp.png"), tr("Add Up"), tr("add Up Item"), &MdiChild::addUpItem);
        addEntry(QStringLiteral(":/images/AddDown.png"), tr("Add Down"), tr("add Down Item"),
            &MdiChild::addDownItem);
        addEntry(
            QStringLiteral(":/images/Delete.png"), tr("Delete"), tr("Delete Item"), &MdiChild::deleteItem)
            ->setShortcut(QKeySequence(tr("Delete")));
        menu->addSeparator();
        addEntry(QStringLiteral(":/images/copy.png"), tr("Copy"),
            tr("Copy the current selection's contents to the clipboard"), &MdiChild::copy1)
            ->setShortcut(QKeySequence::Copy);
    }
    addEntry(QStringLiteral(":/images/copy.png"), tr("CopyAll"), tr("Copy all contents to the clipboard"),
        &MdiChild::copyAll);
    return menu;
}

QMenu *MdiChild::createTranslationMenu()
{
    auto *menu = new QMenu(this);
    const QIcon icon(QStringLiteral(":/images/copy.png"));
    if (translationView->currentIndex().row() != -1) {
        QAction *copy = menu->addAction(icon, tr("Copy"), this, &MdiChild::copy2);
        copy->setStatusTip(tr("Copy the current selection's contents to the clipboard"));
    }
    QAction *copyEverything = menu->addAction(icon, tr("CopyAll"), this, &MdiChild::copyAll2);
    copyEverything->setStatusTip(tr("Copy all contents to the clipboard"));
    bool failed = false;
    bool queued = false;
    for (int row = 0; row < document->count(); ++row) {
        failed = failed || document->at(row).state == DocumentModel::Failed;
        queued = queued || document->at(row).state == DocumentModel::Queued;
    }
    menu->addSeparator();
    menu->addAction(tr("Retry failed"), this, [this] { emit retryFailedRequested(document); })
        ->setEnabled(failed);
    menu->addAction(tr("Cancel translation"), this, [this] { emit cancelTranslationRequested(document); })
        ->setEnabled(queued);
    return menu;
}

MyWrapItem *MdiChild::sourceDelegate() const { return static_cast<MyWrapItem *>(sourceView->itemDelegate()); }

MyWrapItem *MdiChild::translationDelegate() const
{
    return static_cast<MyWrapItem *>(translationView->itemDelegate());
}

void MdiChild::documentWasModified() { sourceEdit->setWindowModified(sourceEdit->document()->isModified()); }

void MdiChild::transelItem()
{
    const int row = currentSourceRow();
    if (row < 0 || row >= document->count())
        return;
    emit translationRequested(row, document->at(row).id, document->at(row).source);
    setModified(true);
}

void MdiChild::tranallItem()
{
    if (document->count() == 0)
        return;
    for (int row = 0; row < document->count(); ++row)
        emit translationRequested(row, document->at(row).id, document->at(row).source);
    setModified(true);
}

void MdiChild::addUpItem() { addUp(); }

void MdiChild::addDownItem() { addDown(); }

void MdiChild::deleteItem() { deleteCurrent(); }

void MdiChild::copy1() { copyRow(sourceModel, sourceView); }

void MdiChild::copy2() { copyRow(translationModel, translationView); }

void MdiChild::copyAll() { copyEvery(sourceModel); }

void MdiChild::copyAll2() { copyEvery(translationModel); }

void MdiChild::copyRow(ItemColumnModel *model, QListView *view)
{
    const QStringList items = model->stringList();
    const int row = view->currentIndex().row();
    if (row >= 0 && row < items.size())
        QApplication::clipboard()->setText(items.at(row));
}

void MdiChild::copyEvery(ItemColumnModel *model)
{
    QString text;
    for (const QString &item : model->stringList()) {
        text += item;
        text += QLatin1Char('\n');
    }
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void MdiChild::popupMenu(const QPoint &pos)
{
    QMenu *menu = createSourceMenu();
    menu->exec(sourceView->viewport()->mapToGlobal(pos));
    delete menu;
}

void MdiChild::popupMenu2(const QPoint &pos)
{
    QMenu *menu = createTranslationMenu();
    menu->exec(translationView->viewport()->mapToGlobal(pos));
    delete menu;
}

void MdiChild::onScrollBarValueChanged1(int value) { followScroll(translationScrollBar, value); }

void MdiChild::onScrollBarValueChanged2(int value) { followScroll(sourceScrollBar, value); }

void MdiChild::followScroll(QScrollBar *follower, int value)
{
    // A view that follows does not lead back: its range may be shorter and clamp the value.
    if (followingScroll)
        return;
    followingScroll = true;
    follower->setValue(value);
    followingScroll = false;
}

void MdiChild::view1Clicked(const QModelIndex &index)
{
    translationView->setCurrentIndex(translationModel->index(index.row(), 0));
    translationView->viewport()->repaint();
}

void MdiChild::view2Clicked(const QModelIndex &index)
{
    sourceView->setCurrentIndex(sourceModel->index(index.row(), 0));
    sourceView->viewport()->repaint();
}

void MdiChild::MyTimerSlot()
{
    refreshTimer->stop();
    translationView->viewport()->update();
}

void MdiChild::closeEvent(QCloseEvent *event)
{
    if (maybeSave()) {
        emit closeChild();
        event->accept();
    } else {
        event->ignore();
    }
}

void MdiChild::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy1();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit cancelTranslationRequested(document);
        event->accept();
        return;
    }
    QSplitter::keyPressEvent(event);
}

bool MdiChild::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        const bool source = watched == sourceView->viewport();
        if (source || watched == translationView->viewport()) {
            int &known = source ? sourceViewportWidth : translationViewportWidth;
            const int width = static_cast<QWidget *>(watched)->width();
            if (width != known) {
                known = width;
                static_cast<ItemListView *>(source ? translationView : sourceView)->scheduleLayout();
            }
        }
    }
    return QSplitter::eventFilter(watched, event);
}

void MdiChild::sourceLinesChanged(int row)
{
    // The translation row is as tall as the longer of the two texts; the source
    // view measures its own changed row.
    static_cast<ItemListView *>(translationView)->remeasureRows(row, row);
    if (row == document->count() - 1)
        showBottom(sourceView);
}

void MdiChild::showBottom(QListView *view)
{
    view->scrollToBottom();
    view->viewport()->repaint();
}

void MdiChild::clearCurrentItems()
{
    sourceView->selectionModel()->clear();
    translationView->selectionModel()->clear();
}

void MdiChild::relayout(QListView *view) { static_cast<ItemListView *>(view)->scheduleLayout(); }
