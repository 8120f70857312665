// Band screens: what the stage screen shows goes to the band's phones and
// tablets, and the leader's remote steps and selects as the Nav Pad does (its
// "Stage" only ever goes to the stage page, where the pad's Select toggles).
#include "main/MainWindow.h"

#include "show/ShowBank.h"

#include "prompt/PromptEngine.h"

#include "band/BandServer.h"
#include "core/TarvelloError.h"
#include "pages/DisplayPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/StoredSettings.h"
#include "widgets/ErrorReporter.h"

#include <QTabWidget>

namespace tarvello {

void TfMain::connectBand()
{
    connect(SettingsPage, &TSettingsPage::BandScreensToggled, this,
            Guarded(*ErrorBox, [this](bool) { cbBandScreensClick(); }));
    connect(SettingsPage, &TSettingsPage::BandPortChanged, this,
            Guarded(*ErrorBox, [this](int) { cbBandScreensClick(); }));
    connect(LyricPage, &TLyricPage::BrowserScrolled, this, [this](double fraction) {
        if (LyricPage->ViewKind() == lvBrowser) {
            BandPublisher->Scrolled(fraction);
        }
    });
    connect(LyricPage, &TLyricPage::TextScrolled, this, [this] {
        if (LyricPage->ViewKind() == lvRichText) {
            BandPublisher->Scrolled(LyricPage->TextScrollFraction());
        }
    });
}

void TfMain::cbBandScreensClick()
{
    if (!SettingsPage->BandScreens()) {
        BandPublisher->SetServer(nullptr, false);
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
        // The remote's "Stage" is not the Nav Pad's "Select": a phone in the
        // band never puts an editing page on the stage screen. It brings the
        // stage page of the display type back and leaves it there.
        connect(Band.get(), &TBandServer::SelectRequested, this, Guarded(*ErrorBox, [this] {
                    QWidget *stage =
                        DisplayType() == 0 ? static_cast<QWidget *>(DisplayPage) : LyricPage;
                    if (pcMain->currentWidget() != stage) {
                        SetActivePage(stage);
                        pcMainChange();
                    }
                }));
        // A remote opens a show as the Shows page does.
        connect(Band.get(), &TBandServer::ShowRequested, this,
                Guarded(*ErrorBox, [this](int show) { OpenShow(show); }));
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
    BandPublisher->SetServer(Band.get(), DisplayType() == 1);
    PublishShows();
}

void TfMain::PublishShows()
{
    if (!Band || !Band->Running()) {
        return;
    }
    QList<TBandShow> shows;
    for (const TShowEntry &entry : Bank->List().Entries()) {
        shows.append({entry.Number, entry.Name});
    }
    Band->PublishShows(shows);
}

TStageReport TfMain::StageReport() const
{
    TStageReport report;
    // An old viewer that cannot tell its page keeps the page the slot asks for.
    try {
        report.PdfPage = LyricPage->PdfPage();
        report.PdfPageCount = LyricPage->PdfPageCount();
    } catch (const TError &) {
    }
    if (LyricPage->ViewKind() == lvRichText) {
        report.TextScroll = LyricPage->TextScrollFraction();
    }
    return report;
}

} // namespace tarvello
