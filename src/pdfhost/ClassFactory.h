#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QWidget;

namespace tarvello {

// Makes a control for a parent window; the control belongs to that parent.
using TControlCreator = std::function<QWidget *(QWidget *parent)>;

// Creates document controls from a ProgID or a class identifier, the way the
// system's class factory does for registered components. Both names ignore
// letter case; registering a name again replaces its creator.
class TClassFactory {
public:
    // The factory the program uses; a TScopedClassFactory puts another in its place.
    static TClassFactory &Current();

    void RegisterClass(const QString &classId, const QString &progId, TControlCreator creator);
    void UnregisterClass(const QString &classId);
    void Clear();

    bool HasClassId(const QString &classId) const;
    bool HasProgId(const QString &progId) const;
    // The class identifier registered for a ProgID, empty when none is.
    QString ClassIdOf(const QString &progId) const;

    // Both raise the system's error text when the name is unknown, and pass on
    // whatever the creator raises.
    QWidget *CreateFromProgId(const QString &progId, QWidget *parent) const;
    QWidget *CreateFromClassId(const QString &classId, QWidget *parent) const;

private:
    QHash<QString, TControlCreator> Creators; // by lower-case class identifier
    QHash<QString, QString> ProgIds;          // lower-case ProgID -> class identifier

    friend class TScopedClassFactory;
    static TClassFactory *&CurrentPointer();
};

class TScopedClassFactory {
public:
    explicit TScopedClassFactory(TClassFactory &factory);
    ~TScopedClassFactory();
    TScopedClassFactory(const TScopedClassFactory &) = delete;
    TScopedClassFactory &operator=(const TScopedClassFactory &) = delete;

private:
    TClassFactory *Previous;
};

} // namespace tarvello
