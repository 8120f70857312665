#pragma once

#include "band/BandContent.h"
#include "band/BandState.h"
#include "prompt/Prompt.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

namespace tarvello {

class TBandServer;
class TShow;

// What the stage view reports it shows once it has drawn a prompt.
struct TStageReport {
    int PdfPage = 0; // 0: no document, or a viewer that cannot tell
    int PdfPageCount = 0;
    // How far the rich-text view is scrolled (0 to 1), when it is the one shown.
    std::optional<double> TextScroll;
};

// Tells band screens what the stage shows: each prompt the engine selects,
// before the stage view draws it and again after, and each scroll. It works
// from the prompt as the engine resolved it and from the show: it reads no
// file and asks no widget.
class TBandPublisher : public QObject {
    Q_OBJECT

public:
    explicit TBandPublisher(const TShow &show, QObject *parent = nullptr);

    // The server to tell, or nullptr while band screens are off. A server
    // that starts hears the slots' names and the prompt shown at once (before
    // the first prompt, the names of the display type's field).
    void SetServer(TBandServer *server, bool fileDisplay);

    // `caption`: the window's caption for the prompt; `numbered`: whether
    // slots show their number; `showing`: a stage page shows prompts (before
    // the first, followers see "Waiting for Midi"). `shown` is nullptr before
    // the stage view draws the prompt, and its report after.
    void Publish(const TPrompt &prompt, const QString &caption, bool numbered, bool showing,
                 const TStageReport *shown);
    // The view shown scrolled (0 to 1).
    void Scrolled(double fraction);

private:
    void PublishNames(bool fileDisplay);
    void Republish(bool fileDisplay);

    const TShow &Show;
    TBandServer *Server = nullptr;
    // The names of the slots as last published, and whether the show or the
    // display type changed them since.
    QStringList Names;
    bool NamesOfFiles = false;
    bool NamesChanged = true;
    bool NamesPosted = false;
    // The last prompt published and what went with it, for a server that
    // starts later.
    std::optional<TPrompt> Last;
    QString LastCaption;
    bool LastNumbered = true;
    bool LastShowing = false;
    std::optional<TStageReport> LastReport;
    TBandState Shown;
    QList<TBandPrompt> Neighbours;
};

} // namespace tarvello
