#include "AutomationTarget.h"
#include "PdfTestSupport.h"

#include "pdfcontrol/BuiltInPdfControl.h"
#include "pdfhost/Automation.h"
#include "pdfhost/ClassFactory.h"
#include "pdfhost/Registry.h"
#include "pdfviewer/PdfViewer.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

TEST(Automation, CallsByNameWithTheArgumentKindsOfTheControl)
{
    TAutomationTarget target;
    EXPECT_EQ(AutomationCall(&target, "Echo", {QStringLiteral("hi")}).toString(), "hi");
    EXPECT_EQ(AutomationCall(&target, "eCHO", {QStringLiteral("case")}).toString(), "case");
    EXPECT_EQ(AutomationCall(&target, "Add", {qint32(2), qint32(40)}).toInt(), 42);
    // Texts become numbers where they read as numbers, and numbers texts.
    EXPECT_EQ(AutomationCall(&target, "Add", {QStringLiteral("5"), qint32(1)}).toInt(), 6);
    EXPECT_EQ(AutomationCall(&target, "Echo", {qint32(7)}).toString(), "7");
    // Booleans: true is -1 to a control that takes a number; -1 is true to one
    // that takes a boolean.
    EXPECT_EQ(AutomationCall(&target, "Number", {true}).toInt(), -1);
    EXPECT_EQ(AutomationCall(&target, "Number", {false}).toInt(), 0);
    EXPECT_TRUE(AutomationCall(&target, "Flag", {qint32(-1)}).toBool());
    EXPECT_FALSE(AutomationCall(&target, "Flag", {qint32(0)}).toBool());
    // The overload with the given number of arguments is the one called.
    EXPECT_EQ(AutomationCall(&target, "Count").toInt(), 0);
    EXPECT_EQ(AutomationCall(&target, "Count", {qint32(3)}).toInt(), 3);
    EXPECT_FALSE(AutomationCall(&target, "Poke").isValid());
    EXPECT_EQ(target.Pokes, 1);

    AutomationSetProperty(&target, "src", QStringLiteral("/tmp/x.pdf"));
    EXPECT_EQ(target.Src(), "/tmp/x.pdf");
}

TEST(Automation, FailuresCarryTheAutomationErrorTexts)
{
    TAutomationTarget target;
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "GoToNextPage"); }),
              "Method 'GoToNextPage' not supported by automation object");
    // The toolkit's own slots are not part of a control's interface.
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "close"); }),
              "Method 'close' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "deleteLater"); }),
              "Method 'deleteLater' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "Changed"); }),
              "Method 'Changed' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationSetProperty(&target, "windowTitle", "x"); }),
              "Method 'windowTitle' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationSetProperty(&target, "Fixed", "x"); }),
              "Method 'Fixed' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationCall(nullptr, "Echo", {"x"}); }),
              "Method 'Echo' not supported by automation object");
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "Add", {qint32(1)}); }),
              "Invalid number of parameters");
    EXPECT_EQ(ErrorOf([&] {
                  AutomationCall(&target, "Add", {QStringLiteral("one"), 1});
              }),
              "Type mismatch");
    // What the control raises comes back as it was raised.
    EXPECT_EQ(ErrorOf([&] { AutomationCall(&target, "Fail", {QStringLiteral("no paper")}); }),
              "no paper");
    EXPECT_EQ(target.isVisible(), false);
}

TEST(Registry, KeysAndValuesIgnoreCaseAndParentsExist)
{
    TRegistry registry;
    registry.SetValue("\\CLSID\\{ABC}\\ProgID", QString(), "AcroPDF.PDF.1");
    EXPECT_TRUE(registry.KeyExists("clsid\\{abc}\\progid"));
    EXPECT_TRUE(registry.KeyExists("\\CLSID\\{ABC}"));
    EXPECT_TRUE(registry.KeyExists("\\CLSID"));
    EXPECT_FALSE(registry.KeyExists("\\CLSID\\{ABD}"));
    EXPECT_EQ(registry.Value("\\clsid\\{abc}\\progid", QString()).value_or("-"), "AcroPDF.PDF.1");
    EXPECT_FALSE(registry.Value("\\CLSID\\{ABC}\\ProgID", "Other").has_value());
    registry.RemoveKey("\\CLSID\\{ABC}");
    EXPECT_FALSE(registry.KeyExists("\\CLSID\\{ABC}\\ProgID"));
    EXPECT_TRUE(registry.KeyExists("\\CLSID"));
}

TEST(ClassFactory, CreatesByEitherNameAndReportsUnknownOnes)
{
    TClassFactory factory;
    QWidget parent;
    factory.RegisterClass("{AAA}", "Some.Control.1", [](QWidget *p) { return new QWidget(p); });
    QWidget *byProgId = factory.CreateFromProgId("some.control.1", &parent);
    EXPECT_EQ(byProgId->parentWidget(), &parent);
    EXPECT_NE(factory.CreateFromClassId("{aaa}", &parent), nullptr);
    EXPECT_EQ(ErrorOf([&] { factory.CreateFromProgId("Other.Control", &parent); }),
              "Invalid class string");
    EXPECT_EQ(ErrorOf([&] { factory.CreateFromClassId("{BBB}", &parent); }),
              "Class not registered");
    factory.RegisterClass("{CCC}", "Broken.1", [](QWidget *) -> QWidget * {
        throw TError("The control could not start");
    });
    EXPECT_EQ(ErrorOf([&] { factory.CreateFromProgId("Broken.1", &parent); }),
              "The control could not start");
}

TEST(BuiltInControl, RegistersAsTheNewerGenerationAndTwiceIsHarmless)
{
    TRegistry registry;
    TClassFactory factory;
    TScopedRegistry registryScope(registry);
    TScopedClassFactory factoryScope(factory);
    RegisterBuiltInPdfControl();
    RegisterBuiltInPdfControl();
    EXPECT_EQ(TPdfViewer::FindReaderProgID(), "AcroPDF.PDF.1");
    EXPECT_TRUE(factory.HasClassId("{CA8A9780-280D-11CF-A24D-444553540000}"));
    EXPECT_TRUE(factory.HasProgId(QString::fromLatin1(BuiltInOldProgId)));
    EXPECT_TRUE(QString::fromLatin1(BuiltInOldProgId).startsWith("PDF."));
}

} // namespace
} // namespace tarvello::test
