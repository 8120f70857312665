#include "prompt/Prompt.h"

#include "core/TarvelloError.h"
#include "core/SlotTypes.h"
#include "prompt/PromptReference.h"
#include "show/ShowList.h"

#include <QFileInfo>

namespace tarvello {

TPromptFile ResolvePromptFile(const QString &stored)
{
    TPromptFile file;
    file.Stored = stored;
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

QString PromptCaption(const TPrompt &prompt, bool patchMode, int controller)
{
    // A slot is read from 1 where the operator asked for it; a command value
    // stays what it is.
    const int from = prompt.FromOne ? 1 : 0;
    const int named = prompt.SlotChanged ? prompt.Slot : prompt.Value;
    QString caption =
        SelectionCaption(patchMode, controller, named <= LastSlotKey ? named + from : named);
    // With a repertoire of shows, the show beside the slot.
    if (prompt.ShowCount > 1) {
        caption += QStringLiteral(" - ") +
                   ShowTitle(TShowEntry{prompt.ShowNumber, prompt.ShowName, {}}, prompt.FromOne);
    }
    if (prompt.Page != TStagePage::Lyric) {
        return caption;
    }
    caption += QStringLiteral(" Item:") + QString::number(prompt.Slot + from);
    if (prompt.Command) {
        return caption + QLatin1Char(' ') + prompt.Stored;
    }
    if (!prompt.File.Path.isEmpty()) {
        caption += QLatin1Char(' ') + prompt.File.Reference;
    }
    return caption;
}

} // namespace tarvello
