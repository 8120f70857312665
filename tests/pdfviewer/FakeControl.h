#pragma once

#include "pdfhost/ClassFactory.h"
#include "pdfhost/Registry.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace tarvello::test {

// What the recording control does and what it saw, shared by all its instances
// since the viewer makes a new one at every Open.
struct TFakeScript {
    QStringList Calls;
    QString Versions = QStringLiteral("Reader=7.0.5");
    QString FailOn; // a call name that raises an error
    int Created = 0;
    int Alive = 0;
    // Runs inside the "Src" call, while the viewer is loading.
    std::function<void()> OnSrc;
};

// A document control that records each call it answers as "Name(arg,arg)",
// with booleans as the numbers it received.
class TRecordingControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Src READ Src WRITE SetSrc)

public:
    TRecordingControl(TFakeScript &script, QWidget *parent);
    ~TRecordingControl() override;

    QString Src() const { return Source; }
    void SetSrc(const QString &source);

    Q_INVOKABLE QString GetVersions();
    Q_INVOKABLE void SetLayoutMode(const QString &layout);
    Q_INVOKABLE void SetPageMode(const QString &mode);
    // Booleans are taken as numbers, to see the automation encoding.
    Q_INVOKABLE void SetShowScrollBars(int show);
    Q_INVOKABLE void SetShowToolbar(int show);
    Q_INVOKABLE void SetViewScroll(const QString &mode, int offset);
    Q_INVOKABLE void GoToNextPage();
    Q_INVOKABLE void GoToPreviousPage();
    Q_INVOKABLE void SetCurrentPage(int page);
    Q_INVOKABLE void PrintWithDialog();
    Q_INVOKABLE void PrintAllFit(int shrink);
    Q_INVOKABLE void PrintPagesFit(int first, int last, int shrink);

private:
    void Record(const QString &call);

    TFakeScript &Script;
    QString Source;
};

// A top-level window that records close requests instead of closing.
class TFakeWindow : public QWidget {
    Q_OBJECT

public:
    explicit TFakeWindow(const QString &className, QWidget *parent = nullptr);

    std::vector<qint64> CloseTimes; // ms since construction
    QElapsedTimer Clock;

protected:
    void closeEvent(QCloseEvent *event) override;
};

// A registry and class factory of the test's own, made current for its lifetime,
// with the PDF content type handled by a control of the given ProgID.
class TFakeControlSetup {
public:
    explicit TFakeControlSetup(const QString &progId = QStringLiteral("AcroPDF.PDF.1"));

    void RegisterProgId(const QString &progId);

    TFakeScript Script;
    TRegistry Registry;
    TClassFactory Factory;

private:
    TScopedRegistry RegistryScope;
    TScopedClassFactory FactoryScope;
};

} // namespace tarvello::test
