#pragma once

#include "pdfviewer/PdfModes.h"

#include <QPointer>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class QScrollBar;

namespace tarvello {

class TPdfDisplayer;

// Where the viewer places itself in its parent; alClient fills the parent's
// client area and follows its size.
enum TPdfAlign : quint8 { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Shows a PDF document inside a window of the program. It finds the registered
// PDF document control, hosts it through the displayer of the control's
// generation, loads FileName, applies the view settings and offers page commands
// and printing. Every failure is raised as a TError; the viewer never shows a
// message box itself.
class TPdfViewer : public QWidget {
    Q_OBJECT

public:
    explicit TPdfViewer(QWidget *parent = nullptr);
    ~TPdfViewer() override;

    virtual QString About() const;
    // The banner cannot be changed; written values are ignored.
    void SetAbout(const QString &) {}

    virtual void Open();
    virtual void Close();
    virtual void Print();
    void GoToNextPage();
    void GoToPreviousPage();
    // The page number goes to the control as it is; the control keeps it in range.
    void SetCurrentPage(int page);
    // The page shown and the document's pages, 0 with no document open.
    int CurrentPage() const;
    int PageCount() const;
    bool IsOpen() const { return Displayer != nullptr; }
    // Files (with the page, from 1, each opens at) that are likely to be
    // assigned next: the installed control renders those pages ahead, at
    // the size this viewer would show them filling `room`. Replaces what was
    // asked for before; nothing happens when the control cannot prepare.
    void PrepareDocuments(const QStringList &files, const QList<int> &pages, QSize room) const;

    bool AutoOpen() const { return AutoOpenValue; }
    void SetAutoOpen(bool value) { AutoOpenValue = value; }
    int Copies() const { return CopiesValue; }
    void SetCopies(int value);
    int EndPage() const { return EndPageValue; }
    void SetEndPage(int value);
    const QString &FileName() const { return FileNameValue; }
    void SetFileName(const QString &value);
    TPdfFitMode FitMode() const { return FitModeValue; }
    void SetFitMode(TPdfFitMode value);
    TPdfLayoutMode LayoutMode() const { return LayoutModeValue; }
    void SetLayoutMode(TPdfLayoutMode value);
    TPdfPageMode PageMode() const { return PageModeValue; }
    void SetPageMode(TPdfPageMode value);
    bool ShowPrintDialog() const { return ShowPrintDialogValue; }
    void SetShowPrintDialog(bool value) { ShowPrintDialogValue = value; }
    bool ShowScrollBars() const { return ShowScrollBarsValue; }
    void SetShowScrollBars(bool value);
    bool ShowToolBar() const { return ShowToolBarValue; }
    void SetShowToolBar(bool value);
    bool ShrinkToMargins() const { return ShrinkToMarginsValue; }
    void SetShrinkToMargins(bool value) { ShrinkToMarginsValue = value; }
    int StartPage() const { return StartPageValue; }
    void SetStartPage(int value);

    TPdfAlign Align() const { return AlignValue; }
    void SetAlign(TPdfAlign value);

    // What the displayers ask of their viewer.
    QObject *GetDispatch() const;
    // The vertical scroll bar of the open document's pages, where the control
    // has one; none while nothing is open.
    QScrollBar *ScrollBar() const;
    quint8 ReaderMajorVersion();
    bool CanTakeFocus() const;
    // The ProgID of the control registered for the PDF content type.
    static QString FindReaderProgID();

    TPdfDisplayer *CurrentDisplayer() const { return Displayer.get(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void EnsureOpen();
    // A bare file name is looked for beside the program.
    static QString CompletedFileName(const QString &name);
    // Loads a local file into the open control when it can take one in place;
    // false when a new control has to be made for it.
    bool LoadInPlace(const QString &value);
    void SendViewSettings();
    bool ParentShowing() const;
    std::unique_ptr<TPdfDisplayer> MakeDisplayer(const QString &progId);
    // Releases and frees the displayer, waiting for the release; a FileName
    // assigned meanwhile is kept in DeferredFileName.
    void ReleaseDisplayer();
    void WatchParent(QWidget *parent);
    void ApplyAlign();

    std::unique_ptr<TPdfDisplayer> Displayer;
    quint8 ReaderVersion = 0;

    bool AutoOpenValue = true;
    int CopiesValue = 1;
    int EndPageValue = 0;
    QString FileNameValue;
    TPdfFitMode FitModeValue = vmFit;
    TPdfLayoutMode LayoutModeValue = lmDontCare;
    TPdfPageMode PageModeValue = pmStandard;
    bool ShowPrintDialogValue = true;
    bool ShowScrollBarsValue = true;
    bool ShowToolBarValue = true;
    bool ShrinkToMarginsValue = true;
    int StartPageValue = 1;
    TPdfAlign AlignValue = alNone;

    QPointer<QWidget> WatchedParent;
    bool Closing = false;
    bool Destroying = false;
    std::optional<QString> DeferredFileName;
};

} // namespace tarvello
