#include "pdfcontrol/PdfThumbnailModel.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace tarvello {

TPdfThumbnailModel::TPdfThumbnailModel(QObject *parent) : QAbstractListModel(parent)
{
    Pictures.setMaxCost(64);
}

void TPdfThumbnailModel::SetDocument(QPdfDocument *document)
{
    beginResetModel();
    Doc = document;
    Pictures.clear();
    endResetModel();
}

int TPdfThumbnailModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !Doc || Doc->status() != QPdfDocument::Status::Ready) {
        return 0;
    }
    return Doc->pageCount();
}

QSize TPdfThumbnailModel::ThumbnailSize(int page) const
{
    const QSizeF points = Doc ? Doc->pagePointSize(page) : QSizeF();
    if (points.width() <= 0 || points.height() <= 0) {
        return QSize(ThumbnailWidth, ThumbnailWidth * 4 / 3);
    }
    const double height = ThumbnailWidth * points.height() / points.width();
    // A very long strip of a page still gets a picture of sensible size.
    return QSize(ThumbnailWidth, std::clamp(int(std::lround(height)), 8, ThumbnailWidth * 4));
}

QVariant TPdfThumbnailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const int page = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(page + 1);
    case PageRole:
        return page;
    case Qt::SizeHintRole:
        return ThumbnailSize(page) + QSize(16, 28);
    case Qt::DecorationRole: {
        if (QImage *cached = Pictures.object(page)) {
            return QPixmap::fromImage(*cached);
        }
        QImage picture(ThumbnailSize(page), QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QImage rendered = Doc->render(page, picture.size());
        if (!rendered.isNull()) {
            QPainter onto(&picture);
            onto.drawImage(0, 0, rendered);
        }
        auto *kept = new QImage(picture);
        Pictures.insert(page, kept);
        return QPixmap::fromImage(picture);
    }
    default:
        return {};
    }
}

} // namespace tarvello
