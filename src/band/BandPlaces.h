#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvello {

// Who holds the band server's connections. Anyone on the stage network may
// hold one of the general places, at most a few from one address. When they
// are all taken, a connection that has not yet sent a whole request gives its
// place up to a newcomer (one kept alive between requests only when there is
// no such one), so a crowd of silent connections never locks the band out;
// when none is waiting, a few more places are kept for the leader's keyed
// commands. Places are held by
// live connections only: a connection's hold ends with it.
//
// Used on the band server's thread only.
class TBandPlaces {
public:
    // Followers and requests of anyone.
    static constexpr int General = 64;
    // More, for keyed commands only.
    static constexpr int KeptForKey = 8;
    // From one address: followers, and connections that are not.
    static constexpr int PerAddress = 8;

    enum class TRole {
        Waiting,  // for its request; gives way to a newcomer when all are taken
        Busy,     // a request being read or answered
        Follower, // a WebSocket follower
    };

private:
    struct TPlace {
        std::string Address;
        TRole Role = TRole::Waiting;
        bool KeyOnly = false;
        bool Served = false; // has had a request answered
        std::chrono::steady_clock::time_point Since;
        std::function<void()> Evict;
    };

public:
    // A place held; moved, never copied; given back when it ends.
    class THold {
    public:
        THold() = default;
        THold(THold &&other) noexcept;
        THold &operator=(THold &&other) noexcept;
        THold(const THold &) = delete;
        THold &operator=(const THold &) = delete;
        ~THold();

        void SetRole(TRole role);
        // Taken beyond the general places: good for a keyed command only.
        bool KeyOnly() const;
        void Release();

    private:
        friend class TBandPlaces;
        THold(TBandPlaces *owner, std::shared_ptr<TPlace> place)
            : Owner(owner), Place(std::move(place))
        {
        }
        TBandPlaces *Owner = nullptr;
        std::shared_ptr<TPlace> Place;
    };

    TBandPlaces() = default;
    TBandPlaces(const TBandPlaces &) = delete;
    TBandPlaces &operator=(const TBandPlaces &) = delete;

    // A place for a new connection from `address`, or nothing. `evict` is
    // called when the place is taken back for a newcomer; it must end the
    // connection (its hold ends with it).
    std::optional<THold> Take(const std::string &address, std::function<void()> evict);
    // Turns a request's place into a follower's; false when the address has
    // its followers already or the place is kept for keyed commands.
    bool MakeFollower(THold &hold);

    int Count() const { return int(Places.size()); }
    int Followers() const;

private:
    int CountFrom(const std::string &address, bool followers) const;

    std::vector<std::shared_ptr<TPlace>> Places;
};

} // namespace tarvello
