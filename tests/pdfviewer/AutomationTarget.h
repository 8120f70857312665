#pragma once

#include "core/TarvelloError.h"

#include <QString>
#include <QWidget>

namespace tarvello::test {

// A small control with one member of each kind the automation layer handles.
class TAutomationTarget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Src READ Src WRITE SetSrc)
    Q_PROPERTY(QString Fixed READ Src)

public:
    QString Src() const { return Source; }
    void SetSrc(const QString &source) { Source = source; }

    Q_INVOKABLE QString Echo(const QString &text) { return text; }
    Q_INVOKABLE int Add(int a, int b) { return a + b; }
    Q_INVOKABLE int Number(int value) { return value; }
    Q_INVOKABLE bool Flag(bool value) { return value; }
    Q_INVOKABLE int Count() { return 0; }
    Q_INVOKABLE int Count(int n) { return n; }
    Q_INVOKABLE void Poke() { ++Pokes; }
    Q_INVOKABLE void Fail(const QString &why) { throw TError(why); }

    int Pokes = 0;

signals:
    void Changed();

private:
    QString Source;
};

} // namespace tarvello::test
