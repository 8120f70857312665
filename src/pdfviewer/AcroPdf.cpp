#include "pdfviewer/AcroPdf.h"

#include "pdfhost/ClassFactory.h"

#include <QPainter>
#include <QVBoxLayout>

namespace tarvello {

TAcroPDF::TAcroPDF(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget *control =
        TClassFactory::Current().CreateFromClassId(QString::fromLatin1(ClassId), this);
    layout->addWidget(control);
    Hosted = control;
    setFocusProxy(control);
}

TAcroPDF::~TAcroPDF()
{
    delete Hosted.data();
}

QObject *TAcroPDF::ControlInterface() const
{
    return Hosted.data();
}

void TAcroPDF::PaintTo(QPainter &painter, const QPoint &at)
{
    render(&painter, at);
}

} // namespace tarvello
