#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace tarvello {

// A small table of keys and named values in the shape of the system registry's
// class root. The viewer only reads it; the document controls fill it when they
// register at start-up. Key paths use "\" as separator and, like the registry,
// ignore letter case in key and value names. The value named "" is the key's
// default value.
class TRegistry {
public:
    // The registry the program reads; a TScopedRegistry puts another in its place.
    static TRegistry &Current();

    void CreateKey(const QString &key);
    void SetValue(const QString &key, const QString &name, const QString &value);
    void RemoveKey(const QString &key);
    void Clear();

    bool KeyExists(const QString &key) const;
    // The value, or nothing when the key or the value is missing.
    std::optional<QString> Value(const QString &key, const QString &name) const;

private:
    static QString NormalKey(const QString &key);

    QHash<QString, QHash<QString, QString>> Keys;

    friend class TScopedRegistry;
    static TRegistry *&CurrentPointer();
};

// Makes another registry the current one for its lifetime (tests fill their own).
class TScopedRegistry {
public:
    explicit TScopedRegistry(TRegistry &registry);
    ~TScopedRegistry();
    TScopedRegistry(const TScopedRegistry &) = delete;
    TScopedRegistry &operator=(const TScopedRegistry &) = delete;

private:
    TRegistry *Previous;
};

} // namespace tarvello
