#include "band/BandContentStore.h"

#include "pdfhost/PagePictures.h"

#include <boost/asio/post.hpp>

#include <algorithm>

namespace tarvello {
namespace {

bool IsPdf(const TBandPrompt &prompt)
{
    return prompt.Kind == QLatin1String("pdf");
}

} // namespace

TBandContentStore::TBandContentStore(boost::asio::io_context &io) : Io(io), Expiry(io)
{
    Worker = std::thread([this] { Work(); });
}

TBandContentStore::~TBandContentStore()
{
    {
        const std::lock_guard lock(Lock);
        Stopping = true;
    }
    Wake.notify_all();
    Worker.join();
}

TBandContentStore::TContent TBandContentStore::Kept(const TBandPrompt &prompt)
{
    const QString stamp = FileStamp(prompt.File);
    for (const TKept &kept : Store) {
        if (kept.Prompt == prompt && kept.Stamp == stamp && !stamp.isEmpty()) {
            return kept.Content;
        }
    }
    return nullptr;
}

void TBandContentStore::Keep(const TBandPrompt &prompt, const QString &stamp, TContent content)
{
    Store.erase(std::remove_if(Store.begin(), Store.end(),
                               [&](const TKept &kept) { return kept.Prompt == prompt; }),
                Store.end());
    Store.push_front(TKept{prompt, stamp, std::move(content)});
    qint64 bytes = 0;
    std::size_t count = 0;
    for (const TKept &kept : Store) {
        bytes += kept.Content->Bytes.size();
        ++count;
        if (count > KeptPrompts || (count > 1 && bytes > KeptBytes)) {
            Store.resize(count - 1);
            break;
        }
    }
}

void TBandContentStore::Queue(const QList<TBandPrompt> &prompts)
{
    {
        const std::lock_guard lock(Lock);
        QList<TBandPrompt> queued;
        for (const TBandPrompt &prompt : prompts) {
            Jobs.removeAll(prompt);
            if (Making != prompt) {
                queued.append(prompt);
            }
        }
        Jobs = queued + Jobs;
    }
    Wake.notify_all();
}

void TBandContentStore::Prepare(const QList<TBandPrompt> &prompts)
{
    QList<TBandPrompt> wanted;
    for (const TBandPrompt &prompt : prompts) {
        if (!Kept(prompt) && !wanted.contains(prompt)) {
            wanted.append(prompt);
        }
    }
    {
        const std::lock_guard lock(Lock);
        Jobs.clear();
        AwaitingPicture.removeIf([&](const TBandPrompt &p) { return !prompts.contains(p); });
    }
    // Prompts someone waits for stay wanted.
    for (const TWaiter &waiter : Waiters) {
        if (!wanted.contains(waiter.Prompt)) {
            wanted.append(waiter.Prompt);
        }
    }
    Queue(wanted);
}

void TBandContentStore::Fetch(const TBandPrompt &prompt, TDone done)
{
    if (TContent content = Kept(prompt)) {
        done(std::move(content));
        return;
    }
    const auto until = std::chrono::steady_clock::now() + Wait;
    Waiters.push_back(TWaiter{prompt, std::move(done), until});
    Queue({prompt});
    if (Waiters.size() == 1) {
        Expiry.expires_at(until);
        Expiry.async_wait([this](const boost::system::error_code &error) {
            if (!error) {
                ExpireWaiters();
            }
        });
    }
}

void TBandContentStore::ExpireWaiters()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<TWaiter> late;
    for (auto it = Waiters.begin(); it != Waiters.end();) {
        if (it->Until <= now) {
            late.push_back(std::move(*it));
            it = Waiters.erase(it);
        } else {
            ++it;
        }
    }
    if (!Waiters.empty()) {
        const auto next =
            std::min_element(Waiters.begin(), Waiters.end(),
                             [](const TWaiter &a, const TWaiter &b) { return a.Until < b.Until; })
                ->Until;
        Expiry.expires_at(next);
        Expiry.async_wait([this](const boost::system::error_code &error) {
            if (!error) {
                ExpireWaiters();
            }
        });
    }
    for (TWaiter &waiter : late) {
        waiter.Done(nullptr);
    }
}

void TBandContentStore::Arrived(const TBandPrompt &prompt, const QString &stamp, TContent content)
{
    if (content) {
        Keep(prompt, stamp, content);
    }
    std::vector<TWaiter> served;
    for (auto it = Waiters.begin(); it != Waiters.end();) {
        if (it->Prompt == prompt) {
            served.push_back(std::move(*it));
            it = Waiters.erase(it);
        } else {
            ++it;
        }
    }
    for (TWaiter &waiter : served) {
        waiter.Done(content);
    }
}

void TBandContentStore::PicturesChanged()
{
    {
        const std::lock_guard lock(Lock);
        ++Pictures;
        if (AwaitingPicture.isEmpty()) {
            return;
        }
        for (const TBandPrompt &prompt : std::as_const(AwaitingPicture)) {
            if (!Jobs.contains(prompt)) {
                Jobs.append(prompt);
            }
        }
        AwaitingPicture.clear();
    }
    Wake.notify_all();
}

void TBandContentStore::Cancel()
{
    Expiry.cancel();
    std::vector<TWaiter> waiting;
    waiting.swap(Waiters);
    for (TWaiter &waiter : waiting) {
        waiter.Done(nullptr);
    }
}

void TBandContentStore::Work()
{
    std::unique_lock lock(Lock);
    for (;;) {
        Wake.wait(lock, [this] { return Stopping || !Jobs.isEmpty(); });
        if (Stopping) {
            return;
        }
        const TBandPrompt prompt = Jobs.takeFirst();
        Making = prompt;
        const quint64 pictures = Pictures;
        lock.unlock();
        const QString stamp = FileStamp(prompt.File);
        TMade made = TMade::Failed;
        TBandContent content;
        if (IsPdf(prompt)) {
            if (std::optional<QImage> page =
                    TPagePictures::Instance().Find(prompt.File, prompt.Page - 1)) {
                content = BandPagePicture(*page);
                made = content.Made ? TMade::Done : TMade::Failed;
            } else if (!stamp.isEmpty()) {
                made = TMade::NoPictureYet;
            }
        } else {
            content = MakeBandContent(prompt);
            made = content.Made ? TMade::Done : TMade::Failed;
        }
        lock.lock();
        Making.reset();
        if (made == TMade::NoPictureYet) {
            if (Pictures != pictures) {
                Jobs.prepend(prompt);
            } else if (!AwaitingPicture.contains(prompt)) {
                AwaitingPicture.append(prompt);
            }
            continue;
        }
        auto result = made == TMade::Done ? std::make_shared<const TBandContent>(std::move(content))
                                          : TContent();
        boost::asio::post(Io, [this, prompt, stamp, result] { Arrived(prompt, stamp, result); });
    }
}

} // namespace tarvello
