#include "pdfhost/Automation.h"

#include "core/TarvelloError.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QWidget>

#include <vector>

namespace tarvello {

namespace {

[[noreturn]] void ThrowUnknownName(const QString &name)
{
    throw TError(QStringLiteral("Method '%1' not supported by automation object").arg(name));
}

// Only what the control's own classes declare is offered: the toolkit's slots
// such as close() or deleteLater() must never be reachable by a call name.
const QMetaObject &ToolkitBase(const QObject *object)
{
    return object->isWidgetType() ? QWidget::staticMetaObject : QObject::staticMetaObject;
}

bool IsInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QVariant ConvertArgument(const QVariant &arg, QMetaType target)
{
    if (arg.metaType() == target) {
        return arg;
    }
    const int from = arg.metaType().id();
    if (target.id() == QMetaType::Bool && IsInteger(from)) {
        return QVariant(arg.toLongLong() != 0);
    }
    if (IsInteger(target.id()) && from == QMetaType::Bool) {
        QVariant number(arg.toBool() ? AutomationTrue : AutomationFalse);
        number.convert(target);
        return number;
    }
    if (target.id() == QMetaType::QVariant) {
        return QVariant::fromValue(arg);
    }
    QVariant converted = arg;
    if (!converted.convert(target)) {
        throw TError(QStringLiteral("Type mismatch"));
    }
    return converted;
}

std::vector<QMetaMethod> MethodsNamed(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    const int first = ToolkitBase(object).methodCount();
    std::vector<QMetaMethod> named;
    for (int i = first; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal ||
            method.methodType() == QMetaMethod::Constructor) {
            continue;
        }
        if (QString::fromLatin1(method.name()).compare(name, Qt::CaseInsensitive) == 0) {
            named.push_back(method);
        }
    }
    return named;
}

} // namespace

bool AutomationHasMethod(const QObject *object, const QString &name)
{
    return object && !MethodsNamed(object, name).empty();
}

QVariant AutomationCall(QObject *object, const QString &name, const QVariantList &args)
{
    if (!object) {
        ThrowUnknownName(name);
    }
    const std::vector<QMetaMethod> named = MethodsNamed(object, name);
    if (named.empty()) {
        ThrowUnknownName(name);
    }
    const QMetaMethod *chosen = nullptr;
    for (const QMetaMethod &method : named) {
        if (method.parameterCount() == args.size()) {
            chosen = &method;
            break;
        }
    }
    if (!chosen || args.size() > 10) {
        throw TError(QStringLiteral("Invalid number of parameters"));
    }

    std::vector<QVariant> converted;
    converted.reserve(args.size());
    for (int i = 0; i < args.size(); ++i) {
        converted.push_back(ConvertArgument(args[i], chosen->parameterMetaType(i)));
    }
    QVariant result;
    const QMetaType returnType = chosen->returnMetaType();
    void *argv[11] = {};
    if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        result = QVariant(returnType);
        argv[0] = result.data();
    }
    for (std::size_t i = 0; i < converted.size(); ++i) {
        argv[i + 1] = converted[i].data();
    }
    // A direct meta-call, so that an error the control raises comes back here
    // as it was thrown.
    QMetaObject::metacall(object, QMetaObject::InvokeMetaMethod, chosen->methodIndex(), argv);
    return result;
}

void AutomationSetProperty(QObject *object, const QString &name, const QVariant &value)
{
    if (!object) {
        ThrowUnknownName(name);
    }
    const QMetaObject *meta = object->metaObject();
    for (int i = ToolkitBase(object).propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (QString::fromLatin1(property.name()).compare(name, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (!property.isWritable()) {
            ThrowUnknownName(name);
        }
        QVariant converted = ConvertArgument(value, property.metaType());
        int status = -1;
        int flags = 0;
        void *argv[] = {converted.data(), &converted, &status, &flags};
        QMetaObject::metacall(object, QMetaObject::WriteProperty, property.propertyIndex(), argv);
        return;
    }
    ThrowUnknownName(name);
}

} // namespace tarvello
