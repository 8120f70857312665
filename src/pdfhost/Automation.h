#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

class QObject;

namespace tarvello {

// Late-bound calls by name on a control, with Qt's meta-object system as the
// dispatch interface. A control offers its methods as public Q_INVOKABLE members
// and its properties as Q_PROPERTY; names are matched ignoring letter case. The
// arguments are converted to the parameter types the control declares: texts,
// 32-bit integers and booleans, where an automation boolean is -1 for true and 0
// for false when the control takes it as a number.
//
// An unknown name raises "Method '<name>' not supported by automation object";
// an argument count that no overload takes, "Invalid number of parameters"; an
// argument that cannot become the parameter's type, "Type mismatch". Errors the
// control raises itself reach the caller unchanged.
QVariant AutomationCall(QObject *object, const QString &name, const QVariantList &args = {});
void AutomationSetProperty(QObject *object, const QString &name, const QVariant &value);
// Whether AutomationCall would find a method of that name (any parameters).
bool AutomationHasMethod(const QObject *object, const QString &name);

// The automation booleans as integers, for controls that take them so.
inline constexpr int AutomationTrue = -1;
inline constexpr int AutomationFalse = 0;

} // namespace tarvello
