#pragma once

#include "band/BandContent.h"
#include "band/BandPlaces.h"
#include "band/BandState.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace tarvello {

class TBandHost;

// Band screens: an HTTP and WebSocket server that lets phones, tablets and
// other computers on the stage network follow the show (GET /, /api/state,
// /ws, /content/...) and lets the leader drive it (GET /remote, POST
// /api/value and /api/show with the key; GET /api/shows lists the shows). It runs on its own thread, so that a slow follower
// never delays the stage screen; only the latest state matters, and what a
// follower has not taken yet is replaced by the newer state. Whatever a
// client sends, what it can cost the program is bounded: a few places, a
// few kilobytes each, and no rendering.
//
// Made, started and stopped on the window's thread; Publish may be called
// from any thread.
class TBandServer : public QObject {
    Q_OBJECT

public:
    explicit TBandServer(QObject *parent = nullptr);
    ~TBandServer() override;

    // Listens on every address of this machine. Throws TError with a text for
    // the operator when it cannot (a port in use). Starting again restarts.
    void Start(quint16 port, const QString &key);
    void Stop();
    bool Running() const { return Listening; }
    // This machine's address on the stage network as followers reach it: the
    // first IPv4 address of an interface that is up and not the loopback,
    // else "localhost".
    static QString LanAddress();
    quint16 Port() const { return ListenPort; }

    // The state followers see from now on; `neighbours` are the prompts the
    // show may turn to next, whose content is prepared in the background.
    void Publish(const TBandState &state, const QList<TBandPrompt> &neighbours = {});
    // The slots' names for the remote's list (index = slot key).
    void PublishSlots(const QStringList &names);
    // The shows of the repertoire, for the remote's list of shows.
    void PublishShows(const QList<TBandShow> &shows);

    // The limits the server keeps: places for anyone, more for keyed
    // commands, followers and requests from one address, a message's bytes.
    static constexpr int MaxConnections = TBandPlaces::General;
    static constexpr int KeptForKey = TBandPlaces::KeptForKey;
    static constexpr int PerAddress = TBandPlaces::PerAddress;
    static constexpr int MaxMessageBytes = 4096;

signals:
    // A remote's command, raised on this object's thread (the window's): a
    // value 0..127 for ActOnValue, or "Stage" (POST /api/select, whatever its
    // body says), which may only bring the stage page to the front.
    void ValueRequested(int value);
    void SelectRequested();
    // A remote opens show `show` (POST /api/show with the key).
    void ShowRequested(int show);

private:
    std::unique_ptr<TBandHost> Host;
    bool Listening = false;
    quint16 ListenPort = 0;
};

} // namespace tarvello
