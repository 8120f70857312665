#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QPointer>

class QPdfDocument;

namespace tarvello {

// One row per page: the page number as text and a small picture of the page.
// Pictures are rendered when a view first asks for them, so only the visible
// ones cost anything, and at most a bounded number is kept.
class TPdfThumbnailModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int ThumbnailWidth = 96;
    static constexpr int PageRole = Qt::UserRole + 1;

    explicit TPdfThumbnailModel(QObject *parent = nullptr);

    void SetDocument(QPdfDocument *document);
    QSize ThumbnailSize(int page) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QPointer<QPdfDocument> Doc;
    mutable QCache<int, QImage> Pictures;
};

} // namespace tarvello
