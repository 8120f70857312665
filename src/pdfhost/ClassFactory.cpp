#include "pdfhost/ClassFactory.h"

#include "core/TarvelloError.h"

#include <QWidget>

namespace tarvello {

TClassFactory *&TClassFactory::CurrentPointer()
{
    static TClassFactory global;
    static TClassFactory *current = &global;
    return current;
}

TClassFactory &TClassFactory::Current()
{
    return *CurrentPointer();
}

void TClassFactory::RegisterClass(const QString &classId, const QString &progId,
                                  TControlCreator creator)
{
    Creators.insert(classId.toLower(), std::move(creator));
    if (!progId.isEmpty()) {
        ProgIds.insert(progId.toLower(), classId);
    }
}

void TClassFactory::UnregisterClass(const QString &classId)
{
    Creators.remove(classId.toLower());
    for (auto it = ProgIds.begin(); it != ProgIds.end();) {
        if (it.value().compare(classId, Qt::CaseInsensitive) == 0) {
            it = ProgIds.erase(it);
        } else {
            ++it;
        }
    }
}

void TClassFactory::Clear()
{
    Creators.clear();
    ProgIds.clear();
}

bool TClassFactory::HasClassId(const QString &classId) const
{
    return Creators.contains(classId.toLower());
}

bool TClassFactory::HasProgId(const QString &progId) const
{
    return ProgIds.contains(progId.toLower());
}

QString TClassFactory::ClassIdOf(const QString &progId) const
{
    return ProgIds.value(progId.toLower());
}

QWidget *TClassFactory::CreateFromProgId(const QString &progId, QWidget *parent) const
{
    const auto it = ProgIds.constFind(progId.toLower());
    if (it == ProgIds.constEnd()) {
        throw TError(QStringLiteral("Invalid class string"));
    }
    return CreateFromClassId(*it, parent);
}

QWidget *TClassFactory::CreateFromClassId(const QString &classId, QWidget *parent) const
{
    const auto it = Creators.constFind(classId.toLower());
    if (it == Creators.constEnd() || !*it) {
        throw TError(QStringLiteral("Class not registered"));
    }
    QWidget *control = (*it)(parent);
    if (!control) {
        throw TError(QStringLiteral("Class not registered"));
    }
    return control;
}

TScopedClassFactory::TScopedClassFactory(TClassFactory &factory)
    : Previous(TClassFactory::CurrentPointer())
{
    TClassFactory::CurrentPointer() = &factory;
}

TScopedClassFactory::~TScopedClassFactory()
{
    TClassFactory::CurrentPointer() = Previous;
}

} // namespace tarvello
