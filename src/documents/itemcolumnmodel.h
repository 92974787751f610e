#pragma once

#include <QAbstractListModel>
#include <QStringList>

class DocumentModel;

// One column of a document, sources or translations, as a list model for a
// list view. It holds no text of its own: it reads the document, and an edit
// made in place goes back into the document as one line. A translation row
// without its first translation has no text and cannot be edited; translation
// rows tell their state (StateRole) and, as a tool tip, why a request failed.
class ItemColumnModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Column { Sources, Translations };
    enum Role { StateRole = Qt::UserRole + 1 }; // a DocumentModel::TranslationState

    ItemColumnModel(DocumentModel *document, Column column);

    Column column() const { return side; }
    QStringList stringList() const;
    // A row's text in this column, read without a QVariant; row must exist.
    const QString &textAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    friend class DocumentModel;
    void beginInsert(int first, int last) { beginInsertRows(QModelIndex(), first, last); }
    void endInsert() { endInsertRows(); }
    void beginRemove(int first, int last) { beginRemoveRows(QModelIndex(), first, last); }
    void endRemove() { endRemoveRows(); }
    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void rowChanged(int row);

    DocumentModel *document;
    Column side;
};
