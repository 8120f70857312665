#include "FakeControl.h"

#include "pdfhost/WindowServices.h"
#include "pdfviewer/NewPdfDisplayer.h"
#include "pdfviewer/PdfViewer.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

QWidget *Edit(QWidget *parent, const char *name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    SetWindowClassName(widget, QStringLiteral("Edit"));
    return widget;
}

TEST(WindowWalk, SiblingsAndTheirChildrenComeBeforeOwnChildren)
{
    // parent: [start, s1 [s1a], s2]; start: [c1 [c1a]]
    QWidget parent;
    QWidget *start = Edit(&parent, "start");
    QWidget *s1 = Edit(&parent, "s1");
    Edit(s1, "s1a");
    Edit(&parent, "s2");
    QWidget *c1 = Edit(start, "c1");
    Edit(c1, "c1a");
    QStringList order;
    for (int n = 0; n < 7; ++n) {
        int skip = n;
        QWidget *found = TPdfDisplayer::FindWindowByClass(start, QStringLiteral("Edit"), skip);
        order << (found ? found->objectName() : QStringLiteral("-"));
        EXPECT_EQ(skip, 0);
    }
    EXPECT_EQ(order.join(' '), "start s1 s2 s1a c1 c1a -");

    auto *title = new QLabel(QStringLiteral("AVPageNumView"), c1);
    EXPECT_EQ(TPdfDisplayer::FindWindowByText(start, QStringLiteral("AVPageNumView")), title);
    EXPECT_EQ(TPdfDisplayer::FindWindowByText(start, QStringLiteral("avpagenumview")), nullptr);
    EXPECT_EQ(TPdfDisplayer::FindWindowByText(nullptr, QStringLiteral("AVPageNumView")), nullptr);
}

TEST(WindowWalk, PageNumberEditByReaderVersion)
{
    TFakeControlSetup setup;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    QFile(file).open(QIODevice::WriteOnly);
    QWidget parent;
    auto *viewer = new TPdfViewer(&parent);
    parent.show();
    setup.Script.Versions = QStringLiteral("Reader=7.0");
    viewer->SetFileName(file);
    TPdfDisplayer *displayer = viewer->CurrentDisplayer();
    QWidget *control = dynamic_cast<TNewPdfDisplayer *>(displayer)->Control()->Control();

    // Up to version 7 the edit is the first child of the window "AVPageNumView".
    EXPECT_EQ(displayer->FindPageNumberEdit(), nullptr);
    auto *pageView = new QWidget(control);
    pageView->setWindowTitle(QStringLiteral("AVPageNumView"));
    auto *edit = new QLineEdit(pageView);
    EXPECT_EQ(displayer->FindPageNumberEdit(), edit);

    // From version 8 on it is the third window of class "Edit".
    TPdfViewer newer(&parent);
    setup.Script.Versions = QStringLiteral("Reader=10.1");
    TFakeWindow reader(QStringLiteral("AcrobatSDIWindow"));
    newer.SetFileName(file);
    QWidget *inner =
        dynamic_cast<TNewPdfDisplayer *>(newer.CurrentDisplayer())->Control()->Control();
    Edit(inner, "first");
    Edit(inner, "second");
    QWidget *third = Edit(inner, "third");
    EXPECT_EQ(newer.CurrentDisplayer()->FindPageNumberEdit(), third);
}

} // namespace
} // namespace tarvello::test
