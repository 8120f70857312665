#include "widgets/KeyValueGridModel.h"

namespace tarvello {

TKeyValueGridModel::TKeyValueGridModel(QStringList keys, QObject *parent)
    : QAbstractTableModel(parent), Keys(std::move(keys))
{
}

int TKeyValueGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(Keys.size());
}

int TKeyValueGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TKeyValueGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Keys.size()) {
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    return index.column() == KeyColumn ? Keys.at(index.row()) : ValueAt(index.row());
}

bool TKeyValueGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ValueColumn || role != Qt::EditRole) {
        return false;
    }
    SetValueAt(index.row(), value.toString());
    return true;
}

Qt::ItemFlags TKeyValueGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ValueColumn) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

QVariant TKeyValueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return section == KeyColumn ? KeyTitle : ValueTitle;
}

void TKeyValueGridModel::SetTitles(const QString &keyTitle, const QString &valueTitle)
{
    KeyTitle = keyTitle;
    ValueTitle = valueTitle;
    emit headerDataChanged(Qt::Horizontal, KeyColumn, ValueColumn);
}

void TKeyValueGridModel::ValueChanged(int modelRow)
{
    const QModelIndex changed = index(modelRow, ValueColumn);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

TKeyValueListModel::TKeyValueListModel(QStringList keys, QObject *parent)
    : TKeyValueGridModel(keys, parent)
{
    Values.resize(keys.size());
}

void TKeyValueListModel::SetValueAt(int modelRow, const QString &value)
{
    if (Values.at(modelRow) == value) {
        return;
    }
    Values[modelRow] = value;
    ValueChanged(modelRow);
}

} // namespace tarvello
