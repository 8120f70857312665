#include "pdfviewer/PdfDisplayer.h"

#include "pdfviewer/PdfViewer.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace tarvello {

namespace {

// The walk order is: the window, all of its next sibling's walk, then all of its
// first child's walk. A stack that takes the child before the sibling gives that
// order without recursing once per sibling, which long sibling chains would need.
TWindowHandle Walk(TWindowHandle start, const std::function<bool(TWindowHandle)> &matches)
{
    std::vector<TWindowHandle> pending{start};
    while (!pending.empty()) {
        TWindowHandle window = pending.back();
        pending.pop_back();
        if (!window) {
            continue;
        }
        if (matches(window)) {
            return window;
        }
        pending.push_back(FirstChildWindow(window));
        pending.push_back(NextSiblingWindow(window));
    }
    return nullptr;
}

} // namespace

TPdfDisplayer::TPdfDisplayer(TPdfViewer &viewer) : Owner(viewer) {}

TPdfDisplayer::~TPdfDisplayer() = default;

void TPdfDisplayer::Resize() {}

bool TPdfDisplayer::CanLoadInPlace()
{
    return false;
}

void TPdfDisplayer::LoadInPlace(const QString &) {}

TWindowHandle TPdfDisplayer::FindPageNumberEdit()
{
    return FindPageNumberEditByTitle();
}

TWindowHandle TPdfDisplayer::FindPageNumberEditByTitle()
{
    TWindowHandle view = FindWindowByText(&Owner, QStringLiteral("AVPageNumView"));
    return view ? FirstChildWindow(view) : nullptr;
}

TWindowHandle TPdfDisplayer::FindWindowByText(TWindowHandle start, const QString &text)
{
    return Walk(start, [&text](TWindowHandle window) { return WindowText(window) == text; });
}

TWindowHandle TPdfDisplayer::FindWindowByClass(TWindowHandle start, const QString &className,
                                               int &skip)
{
    return Walk(start, [&](TWindowHandle window) {
        if (WindowClassName(window) != className) {
            return false;
        }
        if (skip == 0) {
            return true;
        }
        --skip;
        return false;
    });
}

} // namespace tarvello
