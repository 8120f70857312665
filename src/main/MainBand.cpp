// Band screens: what the stage screen shows goes to the band's phones and
// tablets, and the leader's remote acts as the Nav Pad does.
#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "band/BandServer.h"
#include "core/TarvelloError.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/PromptReference.h"
#include "prompt/StoredSettings.h"
#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"

#include <QFile>
#include <QFileInfo>
#include <QTabWidget>

namespace tarvello {
namespace {

// Enough of a file to tell RTF from plain text.
QByteArray FirstBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
}

} // namespace

void TfMain::connectBand()
{
    connect(SettingsPage, &TSettingsPage::BandScreensToggled, this,
            Guarded(*ErrorBox, [this](bool) { cbBandScreensClick(); }));
    connect(SettingsPage, &TSettingsPage::BandPortChanged, this,
            Guarded(*ErrorBox, [this](int) { cbBandScreensClick(); }));
    connect(LyricPage, &TLyricPage::BrowserScrolled, this, [this](double fraction) {
        if (Band && Band->Running() && LyricPage->ViewKind() == lvBrowser) {
            BandShown.Scroll = fraction;
            Band->Publish(BandShown, BandNeighbours);
        }
    });
    connect(LyricPage, &TLyricPage::TextScrolled, this, [this] {
        if (Band && Band->Running() && LyricPage->ViewKind() == lvRichText) {
            BandShown.Scroll = LyricPage->TextScrollFraction();
            Band->Publish(BandShown, BandNeighbours);
        }
    });
}

void TfMain::cbBandScreensClick()
{
    if (!SettingsPage->BandScreens()) {
        Band.reset();
        SettingsPage->ShowBandProblem(QString());
        return;
    }
    if (!Band) {
        Band = std::make_unique<TBandServer>();
        // A remote's value acts as a MIDI value does once its release window
        // has closed.
        connect(Band.get(), &TBandServer::ValueRequested, this,
                Guarded(*ErrorBox, [this](int value) { Select(value, TSelectOrigin::Remote); }));
        connect(Band.get(), &TBandServer::SelectRequested, this,
                Guarded(*ErrorBox, [this] { NavPadSelect(); }));
    }
    const int port = SettingsPage->BandPort();
    try {
        Band->Start(quint16(port), BandKeyValue);
    } catch (...) {
        SettingsPage->ShowBandProblem(
            QStringLiteral("Not running: port %1 cannot be used.").arg(port));
        throw;
    }
    const QString follow = QStringLiteral("http://%1:%2/").arg(TBandServer::LanAddress()).arg(port);
    SettingsPage->ShowBandAddresses(follow, follow + QStringLiteral("remote#") + BandKeyValue);
    BandSlotNames.clear();
    PublishBandState();
}

void TfMain::PublishBandState(bool beforeShowing)
{
    if (!Band || !Band->Running()) {
        return;
    }
    const bool fileDisplay = DisplayType() == 1;
    CommitListEdits();
    const TSlotField field = fileDisplay ? TSlotField::File : TSlotField::Line;
    QStringList names;
    names.reserve(SlotCount);
    for (int slot = 0; slot < SlotCount; ++slot) {
        names.append(SlotShow->Text(field, slot));
    }
    if (names != BandSlotNames) {
        BandSlotNames = names;
        Band->PublishSlots(names);
    }

    TBandState s;
    const int slot = CurrentSlot();
    s.Slot = slot;
    s.Caption = windowTitle();
    s.DisplayType = fileDisplay ? QStringLiteral("file") : QStringLiteral("text");
    s.Name = names[slot];
    s.Next = slot + 1 < SlotCount ? names[slot + 1] : QString();
    const QString key = QString::number(slot);
    const bool numbered = !SettingsPage->SuppressNumber();
    BandNeighbours.clear();
    if (!BandShowing) {
        s.Kind = QStringLiteral("line");
        s.Text = QStringLiteral("Waiting for Midi");
    } else if (!fileDisplay) {
        s.Kind = QStringLiteral("line");
        s.Text = numbered ? NumberedLine(key, s.Name) : s.Name;
    } else {
        try {
            const TPromptReference reference = ParsePromptReference(
                s.Name, [](const QString &name) { return QFileInfo(name).isFile(); });
            const QFileInfo file(reference.Reference);
            const bool exists = !reference.Reference.isEmpty() && file.isFile();
            s.Kind = BandKindOfFile(reference.Reference, exists,
                                    exists ? FirstBytes(file.filePath()) : QByteArray());
            s.File = exists ? file.absoluteFilePath() : QString();
            s.Page = reference.Page;
        } catch (const TError &) {
            s.Kind = QStringLiteral("none"); // the stage shows the error, not the file
        }
        if (s.Kind == QLatin1String("none") && numbered) {
            s.Text = NumberedLine(key, s.Name);
        }
        if (s.Kind == QLatin1String("pdf") && beforeShowing) {
            if (BandShown.File == s.File) {
                s.PageCount = BandShown.PageCount;
            }
        } else if (s.Kind == QLatin1String("pdf")) {
            // The page the viewer shows, after page turns; an old viewer
            // that cannot tell keeps the page the slot asks for.
            try {
                const int page = LyricPage->PdfPage();
                s.PageCount = LyricPage->PdfPageCount();
                if (page > 0) {
                    s.Page = page;
                }
            } catch (const TError &) {
            }
            for (int step : {1, -1}) {
                if (s.Page + step >= 1 && (s.PageCount == 0 || s.Page + step <= s.PageCount)) {
                    BandNeighbours.append(TBandPrompt{s.Kind, s.File, s.Page + step});
                }
            }
        }
        if (!beforeShowing && LyricPage->ViewKind() == lvRichText) {
            s.Scroll = LyricPage->TextScrollFraction();
        }
        // The next slot and the one before, as the show moves on.
        for (int other : {slot + 1, slot - 1}) {
            if (other < 0 || other >= SlotCount || names[other].isEmpty()) {
                continue;
            }
            try {
                const TPromptReference reference = ParsePromptReference(names[other]);
                const QFileInfo file(reference.Reference);
                if (!IsWebAddress(reference.Reference) && file.isFile()) {
                    BandNeighbours.append(TBandPrompt{
                        BandKindOfFile(reference.Reference, true, FirstBytes(file.filePath())),
                        file.absoluteFilePath(), reference.Page});
                }
            } catch (const TError &) {
            }
        }
    }
    BandShown = s;
    Band->Publish(s, BandNeighbours);
}

} // namespace tarvello
