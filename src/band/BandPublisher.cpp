#include "band/BandPublisher.h"

#include "band/BandServer.h"
#include "core/SlotTypes.h"
#include "core/Version.h"
#include "prompt/PromptReference.h"
#include "show/Show.h"

namespace tarvello {
namespace {

// The kind of prompt a resolved file reference comes to for followers. A
// text file and an RTF file are told apart by the end of the name here; the
// content made for followers goes by the file's bytes.
QString BandKind(const TPromptFile &file)
{
    switch (file.Kind) {
    case TPromptKind::WebAddress:
        return QStringLiteral("web");
    case TPromptKind::None:
    case TPromptKind::BadPage:
        return QStringLiteral("none");
    case TPromptKind::Pdf:
        return QStringLiteral("pdf");
    case TPromptKind::Browser:
        return file.Reference.endsWith(QStringLiteral("htm"), Qt::CaseInsensitive) ||
                       file.Reference.endsWith(QStringLiteral("html"), Qt::CaseInsensitive)
                   ? QStringLiteral("html")
                   : QStringLiteral("picture");
    case TPromptKind::RichText:
        break;
    }
    return file.Reference.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive)
               ? QStringLiteral("rtf")
               : QStringLiteral("text");
}

} // namespace

TBandPublisher::TBandPublisher(const TShow &show, QObject *parent) : QObject(parent), Show(show)
{
    connect(&show, &TShow::SlotChanged, this, [this](int, TSlotField field) {
        if (field == TSlotField::MidiStrings) {
            return;
        }
        NamesChanged = true;
        // A show loaded after the server started, or an edit between songs:
        // the remote's list follows at once, not with the next selection. A
        // whole list changed is one publication.
        if (!NamesPosted) {
            NamesPosted = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    NamesPosted = false;
                    if (Server && Server->Running()) {
                        PublishNames(NamesOfFiles);
                    }
                },
                Qt::QueuedConnection);
        }
    });
}

void TBandPublisher::SetServer(TBandServer *server, bool fileDisplay)
{
    Server = server;
    NamesChanged = true;
    Republish(fileDisplay);
}

void TBandPublisher::Republish(bool fileDisplay)
{
    if (!Server || !Server->Running()) {
        return;
    }
    if (Last) {
        const std::optional<TStageReport> report = LastReport;
        Publish(*Last, LastCaption, LastNumbered, LastShowing, report ? &*report : nullptr);
        return;
    }
    TPrompt waiting;
    waiting.FileDisplay = fileDisplay;
    // The caption of a show that has shown nothing yet.
    Publish(waiting, ProgramCaption(), LastNumbered, false, nullptr);
}

void TBandPublisher::PublishNames(bool fileDisplay)
{
    if (!NamesChanged && fileDisplay == NamesOfFiles) {
        return;
    }
    QStringList names;
    names.reserve(SlotCount);
    const TSlotField field = fileDisplay ? TSlotField::File : TSlotField::Line;
    for (int slot = 0; slot < SlotCount; ++slot) {
        names.append(Show.Text(field, slot));
    }
    NamesChanged = false;
    NamesOfFiles = fileDisplay;
    if (names != Names) {
        Names = names;
        Server->PublishSlots(names);
    }
}

void TBandPublisher::Publish(const TPrompt &prompt, const QString &caption, bool numbered,
                             bool showing, const TStageReport *shown)
{
    Last = prompt;
    LastCaption = caption;
    LastNumbered = numbered;
    LastShowing = showing;
    LastReport = shown ? std::optional<TStageReport>(*shown) : std::nullopt;
    if (!Server || !Server->Running()) {
        return;
    }
    const bool fileDisplay = prompt.FileDisplay;
    PublishNames(fileDisplay);

    TBandState s;
    const int slot = prompt.Slot;
    s.Slot = slot;
    s.Caption = caption;
    s.DisplayType = fileDisplay ? QStringLiteral("file") : QStringLiteral("text");
    s.Name = Names.value(slot);
    s.Next = Names.value(slot + 1);
    s.ShowNumber = prompt.ShowNumber;
    s.ShowName = prompt.ShowName;
    const QString key = QString::number(slot);
    const TBandState before = Shown;
    Neighbours.clear();
    if (!showing) {
        s.Kind = QStringLiteral("line");
        s.Text = QStringLiteral("Waiting for Midi");
    } else if (!fileDisplay) {
        s.Kind = QStringLiteral("line");
        s.Text = numbered ? NumberedLine(key, s.Name) : s.Name;
    } else {
        const TPromptFile &file = prompt.File;
        s.Kind = BandKind(file);
        s.File = file.Path;
        s.Page = file.Page;
        if (s.Kind == QLatin1String("none") && numbered) {
            s.Text = NumberedLine(key, s.Name);
        }
        if (s.Kind == QLatin1String("pdf") && !shown) {
            if (before.File == s.File) {
                s.PageCount = before.PageCount;
            }
        } else if (s.Kind == QLatin1String("pdf")) {
            // The page the viewer shows, after page turns; a viewer that
            // cannot tell keeps the page the slot asks for.
            s.PageCount = shown->PdfPageCount;
            if (shown->PdfPage > 0) {
                s.Page = shown->PdfPage;
            }
            for (int step : {1, -1}) {
                if (s.Page + step >= 1 && (s.PageCount == 0 || s.Page + step <= s.PageCount)) {
                    Neighbours.append(TBandPrompt{s.Kind, s.File, s.Page + step});
                }
            }
        }
        if (shown && shown->TextScroll) {
            s.Scroll = *shown->TextScroll;
        }
        // The next slot and the one before, as the show moves on.
        for (const TPromptFile &other : prompt.Neighbours) {
            if (!other.Path.isEmpty()) {
                Neighbours.append(TBandPrompt{BandKind(other), other.Path, other.Page});
            }
        }
    }
    Shown = s;
    Server->Publish(s, Neighbours);
}

void TBandPublisher::Scrolled(double fraction)
{
    if (!Server || !Server->Running()) {
        return;
    }
    Shown.Scroll = fraction;
    Server->Publish(Shown, Neighbours);
}

} // namespace tarvello
