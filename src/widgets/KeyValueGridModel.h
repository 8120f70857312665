#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace tarvello {

// The rows of a key/value grid: a fixed list of keys, each with one free text
// value. Keys never change and rows are never added or removed; only values
// are edited.
class TKeyValueGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int KeyColumn = 0;
    static constexpr int ValueColumn = 1;

    explicit TKeyValueGridModel(QStringList keys, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void SetTitles(const QString &keyTitle, const QString &valueTitle);
    const QString &KeyAt(int modelRow) const { return Keys.at(modelRow); }
    const QString &ValueAt(int modelRow) const { return Values.at(modelRow); }
    void SetValueAt(int modelRow, const QString &value);
    // The model row that carries this key, or -1.
    int RowOfKey(const QString &key) const { return Keys.indexOf(key); }

private:
    QStringList Keys;
    QStringList Values;
    QString KeyTitle;
    QString ValueTitle;
};

} // namespace tarvello
