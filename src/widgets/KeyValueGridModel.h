#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace tarvello {

// The rows of a key/value grid: a fixed list of keys, each with one free text
// value. Keys never change and rows are never added or removed; only values
// are edited. Where the values are kept is the subclass's: it reads and writes
// them and reports a change with ValueChanged().
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
    virtual QString ValueAt(int modelRow) const = 0;
    virtual void SetValueAt(int modelRow, const QString &value) = 0;
    // The model row that carries this key, or -1.
    int RowOfKey(const QString &key) const { return Keys.indexOf(key); }

protected:
    // The value of a row changed, whoever changed it: the views draw it anew.
    void ValueChanged(int modelRow);

private:
    QStringList Keys;
    QString KeyTitle;
    QString ValueTitle;
};

// A grid model that keeps its values itself.
class TKeyValueListModel : public TKeyValueGridModel {
    Q_OBJECT

public:
    explicit TKeyValueListModel(QStringList keys, QObject *parent = nullptr);

    QString ValueAt(int modelRow) const override { return Values.at(modelRow); }
    void SetValueAt(int modelRow, const QString &value) override;

private:
    QStringList Values;
};

} // namespace tarvello
