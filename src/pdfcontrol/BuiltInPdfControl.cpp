#include "pdfcontrol/BuiltInPdfControl.h"

#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPreparedPages.h"
#include "pdfhost/ClassFactory.h"
#include "pdfhost/ClassIds.h"
#include "pdfhost/Registry.h"

namespace tarvello {

namespace {

void RegisterClass(TRegistry &registry, const QString &classId, const QString &progId)
{
    registry.SetValue(QStringLiteral("\\CLSID\\") + classId + QStringLiteral("\\ProgID"), QString(),
                      progId);
    registry.SetValue(QStringLiteral("\\") + progId + QStringLiteral("\\CLSID"), QString(),
                      classId);
    TClassFactory::Current().RegisterClass(
        classId, progId, [](QWidget *parent) { return new TPdfDocumentControl(parent); });
}

} // namespace

void RegisterBuiltInPdfControl()
{
    TRegistry &registry = TRegistry::Current();
    const QString newClassId = QString::fromLatin1(AcroPdfClassId);
    RegisterClass(registry, newClassId, QString::fromLatin1(BuiltInNewProgId));
    RegisterClass(registry, QString::fromLatin1(BuiltInOldClassId),
                  QString::fromLatin1(BuiltInOldProgId));
    registry.SetValue(QStringLiteral("\\MIME\\Database\\Content Type\\application/pdf"),
                      QStringLiteral("CLSID"), newClassId);
    TDocumentPreparation::Install(&TPdfPreparedPages::Instance());
}

} // namespace tarvello
