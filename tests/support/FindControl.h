#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace tarvello::test {

// The one control of that object name and type under `root`. Anything else
// (none, or two that share the name) fails the test: a control found by a name
// that is not unique may not be the one the operator sees.
template <typename T> T *Control(const QObject *root, const QString &name)
{
    const QList<T *> found = root->findChildren<T *>(name);
    if (found.size() != 1) {
        throw std::runtime_error("expected one control named '" + name.toStdString() + "', found " +
                                 std::to_string(found.size()));
    }
    return found.constFirst();
}

template <typename T> T *Control(const QObject *root, const char *name)
{
    return Control<T>(root, QLatin1String(name));
}

} // namespace tarvello::test
