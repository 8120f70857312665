#pragma once

#include "pdfhost/ClassIds.h"

#include <QPointer>
#include <QWidget>

class QPainter;

namespace tarvello {

// The host of the newer generation's document control: a window that creates
// the control registered under the class identifier below and keeps it filling
// its area. Creation raises the class factory's error when no such control is
// registered.
class TAcroPDF : public QWidget {
    Q_OBJECT

public:
    static constexpr const char *ClassId = AcroPdfClassId;

    explicit TAcroPDF(QWidget *parent);
    ~TAcroPDF() override;

    // The control's automation interface.
    QObject *ControlInterface() const;
    QWidget *Control() const { return Hosted.data(); }

    void PaintTo(QPainter &painter, const QPoint &at);

private:
    QPointer<QWidget> Hosted;
};

} // namespace tarvello
