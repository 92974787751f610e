#include "itemcolumnmodel.h"

#include "documents/documentmodel.h"

ItemColumnModel::ItemColumnModel(DocumentModel *document, Column column)
    : QAbstractListModel(document)
    , document(document)
    , side(column)
{ }

QStringList ItemColumnModel::stringList() const
{
    return side == Sources ? document->sources() : document->translations();
}

int ItemColumnModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return side == Sources ? document->count() : document->translationCount();
}

QVariant ItemColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const DocumentModel::Item &item = document->at(index.row());
    return side == Sources ? item.source : item.translation;
}

bool ItemColumnModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::EditRole)
        return false;
    const QString text = DocumentModel::oneLine(value.toString());
    if (data(index, role).toString() == text)
        return true;
    if (side == Sources)
        document->setSource(index.row(), text);
    else
        document->setTranslation(index.row(), text);
    // Edits made in place are the operator's words.
    document->setModified(true);
    return true;
}

Qt::ItemFlags ItemColumnModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

void ItemColumnModel::rowChanged(int row)
{
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, { Qt::DisplayRole, Qt::EditRole });
}
