#include "prompt/PromptEngine.h"

#include "core/SlotTypes.h"
#include "core/TarvelloError.h"
#include "prompt/PromptReference.h"
#include "show/Show.h"

#include <QFileInfo>

#include <algorithm>

namespace tarvello {

TPromptFile ResolvePromptFile(const QString &stored)
{
    TPromptFile file;
    TPromptReference reference;
    try {
        reference = ParsePromptReference(
            stored, [](const QString &name) { return QFileInfo(name).isFile(); });
    } catch (const TError &error) {
        file.Kind = TPromptKind::BadPage;
        file.Error = error.message();
        return file;
    }
    file.Reference = reference.Reference;
    file.Page = reference.Page;
    if (IsWebAddress(reference.Reference)) {
        file.Kind = TPromptKind::WebAddress;
        return file;
    }
    const QFileInfo info(reference.Reference);
    if (reference.Reference.isEmpty() || !info.isFile()) {
        return file;
    }
    file.Path = info.absoluteFilePath();
    switch (FileViewForName(reference.Reference)) {
    case TFileView::Browser:
        file.Kind = TPromptKind::Browser;
        break;
    case TFileView::Pdf:
        file.Kind = TPromptKind::Pdf;
        break;
    case TFileView::RichText:
        file.Kind = TPromptKind::RichText;
        break;
    }
    return file;
}

TPromptEngine::TPromptEngine(const TShow &show, QObject *parent) : QObject(parent), Show(show)
{
    qRegisterMetaType<TPrompt>();
}

void TPromptEngine::SetCurrentSlot(int slot)
{
    Current = std::clamp(slot, 0, LastSlotKey);
}

void TPromptEngine::Select(int value, TSelectOrigin origin)
{
    if (value < 0 || value > PreviousPromptValue) {
        return;
    }
    // Showing files, 122 and 123 are the line commands of the Lyric page
    // wherever they come from: they never select a slot, and off the Lyric
    // page they have nothing to scroll, so they change nothing there.
    const bool lineCommand = Files && (value == LineDownValue || value == LineUpValue);
    if (lineCommand && Page != TStagePage::Lyric) {
        return;
    }
    TPrompt prompt;
    prompt.Value = value;
    prompt.Origin = origin;
    prompt.Page = Page;
    prompt.FileDisplay = Files;
    prompt.Selects = !lineCommand;
    // Slot 122 of the file list cannot be shown (its key is the line-down
    // command), so "Next" stops at 121 there.
    const int lastShown = Files ? LastSlotKey - 1 : LastSlotKey;
    int shown = value;
    if (prompt.Selects) {
        if (value <= LastSlotKey) {
            Current = value;
        } else if (value == NextPromptValue) {
            // A slot 122 left current by the text lines also lands on 121.
            Current = std::min(Current + 1, lastShown);
            shown = Current;
        } else if (value == PreviousPromptValue) {
            Current = std::max(Current - 1, 0);
            shown = Current;
        }
    }
    prompt.Slot = Current;
    prompt.Command = !prompt.Selects || (value > LastSlotKey && value < NextPromptValue);
    prompt.Shown = shown;
    const TSlotField field = Files ? TSlotField::File : TSlotField::Line;
    prompt.Stored = Show.Text(field, Current);
    if (Files && !prompt.Command) {
        prompt.File = ResolvePromptFile(prompt.Stored);
        if (Current < lastShown) {
            prompt.Neighbours << Show.File(Current + 1);
        }
        if (Current > 0) {
            prompt.Neighbours << Show.File(Current - 1);
        }
    }
    emit PromptSelected(prompt);
}

} // namespace tarvello
