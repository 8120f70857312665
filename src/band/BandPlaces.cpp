#include "band/BandPlaces.h"

#include <algorithm>

namespace tarvello {

TBandPlaces::THold::THold(THold &&other) noexcept
    : Owner(other.Owner), Place(std::move(other.Place))
{
    other.Owner = nullptr;
}

TBandPlaces::THold &TBandPlaces::THold::operator=(THold &&other) noexcept
{
    if (this != &other) {
        Release();
        Owner = other.Owner;
        Place = std::move(other.Place);
        other.Owner = nullptr;
    }
    return *this;
}

TBandPlaces::THold::~THold()
{
    Release();
}

void TBandPlaces::THold::Release()
{
    if (Owner) {
        auto &places = Owner->Places;
        places.erase(std::remove(places.begin(), places.end(), Place), places.end());
        Owner = nullptr;
        Place.reset();
    }
}

void TBandPlaces::THold::SetRole(TRole role)
{
    if (Place) {
        if (role == TRole::Waiting && Place->Role != TRole::Waiting) {
            // Kept alive after an answer.
            Place->Since = std::chrono::steady_clock::now();
            Place->Served = true;
        }
        Place->Role = role;
    }
}

bool TBandPlaces::THold::KeyOnly() const
{
    return Place && Place->KeyOnly;
}

int TBandPlaces::CountFrom(const std::string &address, bool followers) const
{
    return int(std::count_if(Places.begin(), Places.end(), [&](const auto &place) {
        return place->Address == address && (place->Role == TRole::Follower) == followers;
    }));
}

int TBandPlaces::Followers() const
{
    return int(std::count_if(Places.begin(), Places.end(),
                             [](const auto &place) { return place->Role == TRole::Follower; }));
}

std::optional<TBandPlaces::THold> TBandPlaces::Take(const std::string &address,
                                                    std::function<void()> evict)
{
    if (CountFrom(address, false) >= PerAddress) {
        return std::nullopt;
    }
    if (Count() >= General) {
        // All the general places are taken: a connection waiting for its
        // request makes room at once, and is ended.
        // Never served before served, then the longest waiting.
        const auto before = [](const TPlace &a, const TPlace &b) {
            return a.Served != b.Served ? !a.Served : a.Since < b.Since;
        };
        auto oldest = Places.end();
        for (auto it = Places.begin(); it != Places.end(); ++it) {
            if ((*it)->Role == TRole::Waiting &&
                (oldest == Places.end() || before(**it, **oldest))) {
                oldest = it;
            }
        }
        if (oldest != Places.end()) {
            const std::shared_ptr<TPlace> evicted = *oldest;
            Places.erase(oldest);
            if (evicted->Evict) {
                evicted->Evict();
            }
        } else if (Count() >= General + KeptForKey) {
            return std::nullopt;
        }
    }
    auto place = std::make_shared<TPlace>();
    place->Address = address;
    place->KeyOnly = Count() >= General;
    place->Since = std::chrono::steady_clock::now();
    place->Evict = std::move(evict);
    Places.push_back(place);
    return THold(this, std::move(place));
}

bool TBandPlaces::MakeFollower(THold &hold)
{
    if (!hold.Place || hold.Place->KeyOnly || CountFrom(hold.Place->Address, true) >= PerAddress) {
        return false;
    }
    hold.Place->Role = TRole::Follower;
    hold.Place->Evict = nullptr;
    return true;
}

} // namespace tarvello
