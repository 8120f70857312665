#include "FakeControl.h"

#include "core/TarvelloError.h"
#include "pdfhost/WindowServices.h"
#include "pdfviewer/AcroPdf.h"

namespace tarvello::test {

TRecordingControl::TRecordingControl(TFakeScript &script, QWidget *parent)
    : QWidget(parent), Script(script)
{
    ++Script.Created;
    ++Script.Alive;
}

TRecordingControl::~TRecordingControl()
{
    --Script.Alive;
}

void TRecordingControl::Record(const QString &call)
{
    Script.Calls << call;
    if (!Script.FailOn.isEmpty() && call.startsWith(Script.FailOn + QLatin1Char('('))) {
        throw TError(QStringLiteral("The control refused ") + Script.FailOn);
    }
}

void TRecordingControl::SetSrc(const QString &source)
{
    Record(QStringLiteral("Src(%1)").arg(source));
    Source = source;
    if (Script.OnSrc) {
        Script.OnSrc();
    }
}

QString TRecordingControl::GetVersions()
{
    Record(QStringLiteral("GetVersions()"));
    return Script.Versions;
}

void TRecordingControl::SetLayoutMode(const QString &layout)
{
    Record(QStringLiteral("SetLayoutMode(%1)").arg(layout));
}

void TRecordingControl::SetPageMode(const QString &mode)
{
    Record(QStringLiteral("SetPageMode(%1)").arg(mode));
}

void TRecordingControl::SetShowScrollBars(int show)
{
    Record(QStringLiteral("SetShowScrollBars(%1)").arg(show));
}

void TRecordingControl::SetShowToolbar(int show)
{
    Record(QStringLiteral("SetShowToolbar(%1)").arg(show));
}

void TRecordingControl::SetViewScroll(const QString &mode, int offset)
{
    Record(QStringLiteral("SetViewScroll(%1,%2)").arg(mode).arg(offset));
}

void TRecordingControl::GoToNextPage()
{
    Record(QStringLiteral("GoToNextPage()"));
}

void TRecordingControl::GoToPreviousPage()
{
    Record(QStringLiteral("GoToPreviousPage()"));
}

void TRecordingControl::SetCurrentPage(int page)
{
    Record(QStringLiteral("SetCurrentPage(%1)").arg(page));
}

void TRecordingControl::PrintWithDialog()
{
    Record(QStringLiteral("PrintWithDialog()"));
}

void TRecordingControl::PrintAllFit(int shrink)
{
    Record(QStringLiteral("PrintAllFit(%1)").arg(shrink));
}

void TRecordingControl::PrintPagesFit(int first, int last, int shrink)
{
    Record(QStringLiteral("PrintPagesFit(%1,%2,%3)").arg(first).arg(last).arg(shrink));
}

TFakeWindow::TFakeWindow(const QString &className, QWidget *parent) : QWidget(parent)
{
    SetWindowClassName(this, className);
    Clock.start();
}

void TFakeWindow::closeEvent(QCloseEvent *event)
{
    CloseTimes.push_back(Clock.elapsed());
    event->ignore();
}

TFakeControlSetup::TFakeControlSetup(const QString &progId)
    : RegistryScope(Registry), FactoryScope(Factory)
{
    RegisterProgId(progId);
}

void TFakeControlSetup::RegisterProgId(const QString &progId)
{
    const QString classId = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
    Registry.SetValue(QStringLiteral("\\MIME\\Database\\Content Type\\application/pdf"),
                      QStringLiteral("CLSID"), classId);
    Registry.SetValue(QStringLiteral("\\CLSID\\") + classId + QStringLiteral("\\ProgID"), QString(),
                      progId);
    auto create = [this](QWidget *parent) { return new TRecordingControl(Script, parent); };
    // The older generation creates its object from the ProgID, the newer from
    // the fixed class identifier of its host.
    Factory.RegisterClass(classId, progId, create);
    Factory.RegisterClass(QString::fromLatin1(TAcroPDF::ClassId), QString(), create);
}

} // namespace tarvello::test
