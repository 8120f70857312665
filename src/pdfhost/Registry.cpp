#include "pdfhost/Registry.h"

namespace tarvello {

TRegistry *&TRegistry::CurrentPointer()
{
    static TRegistry global;
    static TRegistry *current = &global;
    return current;
}

TRegistry &TRegistry::Current()
{
    return *CurrentPointer();
}

QString TRegistry::NormalKey(const QString &key)
{
    QString normal = key.toLower();
    while (normal.startsWith(QLatin1Char('\\'))) {
        normal.remove(0, 1);
    }
    while (normal.endsWith(QLatin1Char('\\'))) {
        normal.chop(1);
    }
    return normal;
}

void TRegistry::CreateKey(const QString &key)
{
    // Like the registry, creating a key makes its parents as well.
    QString path = NormalKey(key);
    while (!path.isEmpty()) {
        Keys[path];
        const qsizetype cut = path.lastIndexOf(QLatin1Char('\\'));
        if (cut < 0) {
            break;
        }
        path.truncate(cut);
    }
}

void TRegistry::SetValue(const QString &key, const QString &name, const QString &value)
{
    CreateKey(key);
    Keys[NormalKey(key)].insert(name.toLower(), value);
}

void TRegistry::RemoveKey(const QString &key)
{
    const QString path = NormalKey(key);
    const QString below = path + QLatin1Char('\\');
    for (auto it = Keys.begin(); it != Keys.end();) {
        if (it.key() == path || it.key().startsWith(below)) {
            it = Keys.erase(it);
        } else {
            ++it;
        }
    }
}

void TRegistry::Clear()
{
    Keys.clear();
}

bool TRegistry::KeyExists(const QString &key) const
{
    return Keys.contains(NormalKey(key));
}

std::optional<QString> TRegistry::Value(const QString &key, const QString &name) const
{
    const auto keyIt = Keys.constFind(NormalKey(key));
    if (keyIt == Keys.constEnd()) {
        return std::nullopt;
    }
    const auto valueIt = keyIt->constFind(name.toLower());
    if (valueIt == keyIt->constEnd()) {
        return std::nullopt;
    }
    return *valueIt;
}

TScopedRegistry::TScopedRegistry(TRegistry &registry) : Previous(TRegistry::CurrentPointer())
{
    TRegistry::CurrentPointer() = &registry;
}

TScopedRegistry::~TScopedRegistry()
{
    TRegistry::CurrentPointer() = Previous;
}

} // namespace tarvello
