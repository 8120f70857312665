#include "pdfhost/OleContainer.h"

#include "core/TarvelloError.h"
#include "pdfhost/ClassFactory.h"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tarvello {

TOleContainer::TOleContainer(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

TOleContainer::~TOleContainer()
{
    DestroyObject();
}

void TOleContainer::SetFillParent(bool fill)
{
    if (fill == Fill) {
        return;
    }
    Fill = fill;
    if (QWidget *parent = parentWidget()) {
        if (fill) {
            parent->installEventFilter(this);
            FollowParent();
        } else {
            parent->removeEventFilter(this);
        }
    }
}

void TOleContainer::CreateObject(const QString &progId)
{
    DestroyObject();
    QWidget *object = TClassFactory::Current().CreateFromProgId(progId, this);
    object->hide();
    layout()->addWidget(object);
    Object = object;
    ObjectProgId = progId;
    if (!Fill) {
        // Not aligned: the container takes the size the object asks for.
        resize(object->sizeHint().expandedTo(QSize(1, 1)));
    }
}

QObject *TOleContainer::OleObject() const
{
    return Object.data();
}

void TOleContainer::Run()
{
    if (!Object) {
        throw TError(QStringLiteral("No object in the container"));
    }
    Running = true;
}

void TOleContainer::DoVerb(int verb)
{
    if (!Object) {
        throw TError(QStringLiteral("No object in the container"));
    }
    switch (verb) {
    case VerbPrimary:
    case VerbShow:
    case VerbOpen:
        Run();
        Object->show();
        show();
        break;
    case VerbHide:
        Object->hide();
        break;
    default:
        throw TError(QStringLiteral("Invalid verb for the embedded object"));
    }
}

void TOleContainer::DestroyObject()
{
    if (Object) {
        QWidget *object = Object.data();
        Object.clear();
        object->hide();
        delete object;
    }
    ObjectProgId.clear();
    Running = false;
}

void TOleContainer::PaintTo(QPainter &painter, const QPoint &at)
{
    render(&painter, at);
}

bool TOleContainer::eventFilter(QObject *watched, QEvent *event)
{
    if (Fill && watched == parentWidget() && event->type() == QEvent::Resize) {
        FollowParent();
    }
    return QWidget::eventFilter(watched, event);
}

void TOleContainer::FollowParent()
{
    if (QWidget *parent = parentWidget()) {
        setGeometry(parent->contentsRect());
    }
}

} // namespace tarvello
