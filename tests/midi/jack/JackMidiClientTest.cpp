// The one JACK client of the process, talking to a second one over the private
// server: what goes in comes out, closing stops it, refusals are told apart, a
// client coming and going next door crashes nothing, and a server that goes
// away leaves a client that answers and closes.

#include "midi/JackMidiClient.h"
#include "midi/MidiEventQueue.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tarvello::test {
namespace {

using namespace std::chrono_literals;
using TEvent = std::vector<std::uint8_t>;
using TResult = TJackMidiClient::TOpenResult;

// A queue that records what its sink is given, with a bounded wait.
class TRecorder {
public:
    bool WaitUntil(const std::function<bool(const std::vector<TEvent> &)> &done)
    {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, 10s, [&] { return done(Events); });
    }
    bool WaitFor(std::size_t count)
    {
        return WaitUntil(
            [count](const std::vector<TEvent> &events) { return events.size() >= count; });
    }
    bool WaitForEvent(const TEvent &event)
    {
        return WaitUntil([&](const std::vector<TEvent> &events) {
            return std::find(events.begin(), events.end(), event) != events.end();
        });
    }
    std::vector<TEvent> Taken()
    {
        std::lock_guard lock(Mutex);
        return Events;
    }

private:
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<TEvent> Events;

public:
    // Last, so that its thread stops before the list goes.
    TMidiEventQueue Queue{[this](const std::uint8_t *data, std::size_t size) {
        {
            std::lock_guard lock(Mutex);
            Events.emplace_back(data, data + size);
        }
        Arrived.notify_all();
    }};
};

bool Send(TJackMidiClient &client, int slot, const TEvent &event)
{
    return client.Send(slot, event.data(), event.size());
}

// A sysex event that carries a number, and the number it carries.
TEvent Numbered(int n)
{
    return {0xF0,
            static_cast<std::uint8_t>((n >> 21) & 0x7F),
            static_cast<std::uint8_t>((n >> 14) & 0x7F),
            static_cast<std::uint8_t>((n >> 7) & 0x7F),
            static_cast<std::uint8_t>(n & 0x7F),
            0xF7};
}
int NumberOf(const TEvent &event)
{
    if (event.size() != 6 || event.front() != 0xF0) {
        return -1;
    }
    return event[1] << 21 | event[2] << 14 | event[3] << 7 | event[4];
}

// The ports of owner that viewer sees in the graph.
std::size_t PortsOf(const TJackMidiClient &owner, const TJackMidiClient &viewer, bool sources)
{
    const std::string prefix = owner.Name() + ':';
    const std::vector<std::string> ports = viewer.ListPorts(sources);
    return std::count_if(ports.begin(), ports.end(),
                         [&](const std::string &port) { return port.rfind(prefix, 0) == 0; });
}

class JackMidiClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        A = TJackMidiClient::Open("TarvelloClientTestA");
        B = TJackMidiClient::Open("TarvelloClientTestB");
        ASSERT_NE(A, nullptr);
        ASSERT_NE(B, nullptr);
    }
    // B's output (a port others connect to) feeding A's input.
    void ConnectBToA(TRecorder &recorder, int &in, int &out)
    {
        ASSERT_EQ(B->OpenOutput("", out), TResult::Opened);
        ASSERT_EQ(A->OpenInput(B->PortName(false, out), &recorder.Queue, in), TResult::Opened);
    }

    std::unique_ptr<TJackMidiClient> A;
    std::unique_ptr<TJackMidiClient> B;
};

TEST_F(JackMidiClientTest, ListsOtherClientsPortsByDirectionAndNeverItsOwn)
{
    TRecorder recorder;
    int aIn = -1, aOut = -1, bIn = -1, bOut = -1;
    ASSERT_EQ(A->OpenInput("", &recorder.Queue, aIn), TResult::Opened);
    ASSERT_EQ(A->OpenOutput("", aOut), TResult::Opened);
    ASSERT_EQ(B->OpenInput("", &recorder.Queue, bIn, "listen"), TResult::Opened);
    ASSERT_EQ(B->OpenOutput("", bOut, "talk"), TResult::Opened);
    EXPECT_EQ(A->PortName(true, aIn), A->Name() + ":in");
    EXPECT_EQ(B->PortName(false, bOut), B->Name() + ":talk");

    struct TSide {
        TJackMidiClient *Self, *Other;
        int OtherIn, OtherOut;
    };
    for (const TSide &side :
         {TSide{A.get(), B.get(), bIn, bOut}, TSide{B.get(), A.get(), aIn, aOut}}) {
        for (const bool sources : {true, false}) {
            const std::vector<std::string> ports = side.Self->ListPorts(sources);
            const std::string wanted = sources ? side.Other->PortName(false, side.OtherOut)
                                               : side.Other->PortName(true, side.OtherIn);
            const std::string wrongWay = sources ? side.Other->PortName(true, side.OtherIn)
                                                 : side.Other->PortName(false, side.OtherOut);
            EXPECT_NE(std::find(ports.begin(), ports.end(), wanted), ports.end()) << wanted;
            EXPECT_EQ(std::find(ports.begin(), ports.end(), wrongWay), ports.end()) << wrongWay;
            EXPECT_EQ(PortsOf(*side.Self, *side.Self, sources), 0u) << side.Self->Name();
        }
    }
}

TEST_F(JackMidiClientTest, EventsArriveOnceUnchangedAndInOrder)
{
    TRecorder recorder;
    int in = -1, out = -1;
    ASSERT_NO_FATAL_FAILURE(ConnectBToA(recorder, in, out));
    const std::vector<TEvent> first = {
        {0xC3, 0x15}, {0xF0, 0x43, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xF7}, {0xF8}};
    for (const TEvent &event : first) {
        ASSERT_TRUE(Send(*B, out, event));
    }
    ASSERT_TRUE(recorder.WaitFor(first.size()));

    // A burst from two threads at once: each thread's events keep their order.
    constexpr int PerThread = 2000;
    auto burst = [&](std::uint8_t status) {
        for (int i = 0; i < PerThread; ++i) {
            EXPECT_TRUE(Send(
                *B, out,
                {status, static_cast<std::uint8_t>(i & 0x7F), static_cast<std::uint8_t>(i >> 7)}));
        }
    };
    std::thread other(burst, 0x90);
    burst(0xB0);
    other.join();
    ASSERT_TRUE(recorder.WaitFor(first.size() + 2 * PerThread));
    // Whatever came twice would have come before this.
    const TEvent marker{0xC0, 0x7F};
    ASSERT_TRUE(Send(*B, out, marker));
    ASSERT_TRUE(recorder.WaitForEvent(marker));

    const std::vector<TEvent> events = recorder.Taken();
    ASSERT_EQ(events.size(), first.size() + 2 * PerThread + 1);
    EXPECT_EQ(std::vector<TEvent>(events.begin(), events.begin() + 3), first);
    for (const std::uint8_t status : {0x90, 0xB0}) {
        std::vector<int> numbers;
        for (const TEvent &event : events) {
            if (event.size() == 3 && event[0] == status) {
                numbers.push_back(event[1] | event[2] << 7);
            }
        }
        ASSERT_EQ(numbers.size(), static_cast<std::size_t>(PerThread)) << int(status);
        EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end())) << int(status);
    }
    EXPECT_EQ(events.back(), marker);
}

TEST_F(JackMidiClientTest, ClosedInputIsFedNoMoreAndItsPortComesBackOnReopen)
{
    int out = -1;
    ASSERT_EQ(B->OpenOutput("", out), TResult::Opened);
    const std::string source = B->PortName(false, out);
    // Numbered events without a pause while A's input opens and closes.
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread sender([&] {
        while (!stop.load()) {
            if (Send(*B, out, Numbered(sent.load()))) {
                sent.fetch_add(1);
            }
            std::this_thread::sleep_for(100us);
        }
    });
    auto arrivedFrom = [](int from) {
        return [from](const std::vector<TEvent> &events) {
            return std::any_of(events.begin(), events.end(),
                               [from](const TEvent &e) { return NumberOf(e) >= from; });
        };
    };

    constexpr int Rounds = 10;
    int firstSlot = -1;
    std::string portName;
    std::unique_ptr<TRecorder> recorder;
    int closedAt = 0;
    for (int round = 0; round < Rounds; ++round) {
        recorder = std::make_unique<TRecorder>();
        int slot = -1;
        ASSERT_EQ(A->OpenInput(source, &recorder->Queue, slot), TResult::Opened);
        if (round == 0) {
            firstSlot = slot;
            portName = A->PortName(true, slot);
        }
        EXPECT_EQ(slot, firstSlot);
        EXPECT_EQ(A->PortName(true, slot), portName);
        EXPECT_TRUE(recorder->WaitUntil(arrivedFrom(sent.load()))) << "round " << round;
        A->CloseInput(slot);
        closedAt = sent.load(); // every event from this number on went out after the close
        if (round + 1 < Rounds) {
            recorder.reset(); // the queue may go as soon as the close returns
        }
    }
    EXPECT_EQ(PortsOf(*A, *B, false), 1u);

    // Let a few hundred more out of B, then see everything the queue was given.
    while (sent.load() < closedAt + 300) {
        std::this_thread::sleep_for(1ms);
    }
    stop.store(true);
    sender.join();
    B->CloseOutput(out);
    const TEvent last{0xFF};
    recorder->Queue.Push(last.data(), last.size());
    ASSERT_TRUE(recorder->WaitForEvent(last));
    for (const TEvent &event : recorder->Taken()) {
        EXPECT_LT(NumberOf(event), closedAt);
    }
}

TEST_F(JackMidiClientTest, ClosedOutputLetsQueuedEventsOutThenIsDisconnected)
{
    TRecorder recorder;
    int in = -1, out = -1;
    ASSERT_EQ(A->OpenInput("", &recorder.Queue, in), TResult::Opened); // others connect to it
    ASSERT_EQ(B->OpenOutput(A->PortName(true, in), out), TResult::Opened);
    // More than one cycle carries, so the close has to wait for several.
    std::vector<TEvent> queued;
    for (int i = 0; i < 60; ++i) {
        TEvent sysex(1000, static_cast<std::uint8_t>(i));
        sysex.front() = 0xF0;
        sysex.back() = 0xF7;
        queued.push_back(sysex);
        ASSERT_TRUE(Send(*B, out, sysex)) << i;
    }
    B->CloseOutput(out);
    EXPECT_FALSE(Send(*B, out, queued.front()));
    ASSERT_TRUE(recorder.WaitFor(queued.size()));
    EXPECT_EQ(recorder.Taken(), queued);

    // The reopened port, connected to nothing, sends nowhere: what a second,
    // connected port sends after it arrives alone.
    int again = -1, second = -1;
    ASSERT_EQ(B->OpenOutput("", again), TResult::Opened);
    EXPECT_EQ(again, out);
    ASSERT_EQ(B->OpenOutput(A->PortName(true, in), second), TResult::Opened);
    const TEvent stray{0x90, 0x01, 0x01}, wanted{0x90, 0x02, 0x02};
    ASSERT_TRUE(Send(*B, again, stray));
    ASSERT_TRUE(Send(*B, second, wanted));
    ASSERT_TRUE(recorder.WaitForEvent(wanted));
    const std::vector<TEvent> events = recorder.Taken();
    EXPECT_EQ(std::find(events.begin(), events.end(), stray), events.end());
}

TEST_F(JackMidiClientTest, RefusalsAreReportedAndLeaveNothingBehind)
{
    TRecorder recorder, listener;
    int slot = -7;
    EXPECT_EQ(A->OpenInput("TarvelloNoSuchClient:out", &recorder.Queue, slot), TResult::NoSuchPort);
    EXPECT_EQ(A->OpenOutput("TarvelloNoSuchClient:in", slot), TResult::NoSuchPort);
    EXPECT_EQ(slot, -7);
    // Ports that exist but point the wrong way cannot be connected.
    int bIn = -1, bOut = -1;
    ASSERT_EQ(B->OpenInput("", &listener.Queue, bIn), TResult::Opened);
    ASSERT_EQ(B->OpenOutput("", bOut), TResult::Opened);
    EXPECT_EQ(A->OpenInput(B->PortName(true, bIn), &recorder.Queue, slot), TResult::ConnectFailed);
    EXPECT_EQ(A->OpenOutput(B->PortName(false, bOut), slot), TResult::ConnectFailed);
    EXPECT_EQ(slot, -7);

    const TEvent note{0x90, 0x40, 0x7F};
    for (const int unknown : {-1, 0, 1, TJackMidiClient::MaxPorts}) {
        EXPECT_FALSE(Send(*A, unknown, note)) << unknown;
    }
    // The refused opens left their ports free for the next.
    int in = -1, out = -1;
    ASSERT_EQ(A->OpenInput(B->PortName(false, bOut), &recorder.Queue, in), TResult::Opened);
    ASSERT_EQ(A->OpenOutput(B->PortName(true, bIn), out), TResult::Opened);
    EXPECT_EQ(PortsOf(*A, *B, true), 1u);
    EXPECT_EQ(PortsOf(*A, *B, false), 1u);

    EXPECT_FALSE(A->Send(out, nullptr, 3));
    EXPECT_FALSE(A->Send(out, note.data(), 0));
    EXPECT_FALSE(Send(*A, out, TEvent(TJackMidiClient::OutputRingSize + 1, 0x00)));
    // The largest event the ring takes is bigger than a cycle carries: it must
    // not hold up what follows.
    TEvent huge(TJackMidiClient::OutputRingSize / 2, 0x11);
    huge.front() = 0xF0;
    huge.back() = 0xF7;
    EXPECT_TRUE(Send(*A, out, huge));
    ASSERT_TRUE(Send(*A, out, note));
    EXPECT_TRUE(listener.WaitForEvent(note));
    A->CloseOutput(out);
    EXPECT_FALSE(Send(*A, out, note));
    A->CloseOutput(out); // twice, and unknown slots, are harmless
    A->CloseInput(TJackMidiClient::MaxPorts);
    A->CloseOutput(-1);

    // Every port of a direction in use: NoPort until one is closed.
    auto c = TJackMidiClient::Open("TarvelloClientTestC");
    ASSERT_NE(c, nullptr);
    for (const bool input : {true, false}) {
        auto open = [&](int &s) {
            return input ? c->OpenInput("", &recorder.Queue, s) : c->OpenOutput("", s);
        };
        std::set<int> taken;
        for (int i = 0; i < TJackMidiClient::MaxPorts; ++i) {
            int s = -1;
            ASSERT_EQ(open(s), TResult::Opened) << i;
            taken.insert(s);
        }
        EXPECT_EQ(taken.size(), static_cast<std::size_t>(TJackMidiClient::MaxPorts));
        int s = -1;
        EXPECT_EQ(open(s), TResult::NoPort);
        input ? c->CloseInput(5) : c->CloseOutput(5);
        EXPECT_EQ(open(s), TResult::Opened);
        EXPECT_EQ(s, 5);
        EXPECT_EQ(PortsOf(*c, *A, !input), static_cast<std::size_t>(TJackMidiClient::MaxPorts));
    }
}

// libjack walks a client's port list unguarded while the graph changes: ports
// of one client opened and closed while another comes and goes must not crash.
TEST_F(JackMidiClientTest, PortsOpenAndCloseWhileAnotherClientComesAndGoes)
{
    int out = -1;
    ASSERT_EQ(B->OpenOutput("", out), TResult::Opened);
    const std::string source = B->PortName(false, out);
    std::atomic<bool> done{false};
    std::atomic<int> churned{0};
    std::thread churn([&] {
        TRecorder recorder;
        while (!done.load()) {
            auto client = TJackMidiClient::Open("TarvelloClientTestChurn");
            int slot = -1;
            if (client != nullptr) {
                client->OpenInput(source, &recorder.Queue, slot);
                client->OpenOutput("", slot);
            }
            churned.fetch_add(1);
        }
    });
    TRecorder recorder;
    const auto until = std::chrono::steady_clock::now() + 3s;
    int rounds = 0;
    while ((std::chrono::steady_clock::now() < until || churned.load() < 3) &&
           std::chrono::steady_clock::now() < until + 20s) {
        int in[3], sends[2];
        for (int &slot : in) {
            ASSERT_EQ(A->OpenInput(source, &recorder.Queue, slot), TResult::Opened);
        }
        for (int &slot : sends) {
            ASSERT_EQ(A->OpenOutput("", slot), TResult::Opened);
        }
        Send(*B, out, Numbered(rounds));
        for (const int slot : in) {
            A->CloseInput(slot);
        }
        for (const int slot : sends) {
            A->CloseOutput(slot);
        }
        ++rounds;
    }
    done.store(true);
    churn.join();
    EXPECT_GE(churned.load(), 3);
    EXPECT_EQ(PortsOf(*A, *B, false), 3u);
    EXPECT_EQ(PortsOf(*A, *B, true), 2u);

    TRecorder after;
    int in = -1;
    ASSERT_EQ(A->OpenInput(source, &after.Queue, in), TResult::Opened);
    const TEvent marker{0xC0, 0x42};
    ASSERT_TRUE(Send(*B, out, marker));
    EXPECT_TRUE(after.WaitForEvent(marker));
}

// A private server of its own, stopped at the end whatever happens.
class TOwnServer {
public:
    TOwnServer() : Name(QStringLiteral("tarvello-gone-%1").arg(QCoreApplication::applicationPid()))
    {
        Started = Dir.isValid() && Run("start");
    }
    ~TOwnServer() { Stop(); }
    bool Run(const char *command)
    {
        return QProcess::execute(TARVELLO_JACK_SERVER_SCRIPT,
                                 {QString::fromLatin1(command), Name, Dir.path()}) == 0;
    }
    void Stop()
    {
        if (Started) {
            Started = false;
            Run("stop");
        }
    }
    // Opens a client on this server; the environment names the tests' server again after.
    std::unique_ptr<TJackMidiClient> Open(const std::string &clientName)
    {
        const QByteArray saved = qgetenv("JACK_DEFAULT_SERVER");
        qputenv("JACK_DEFAULT_SERVER", Name.toLocal8Bit());
        auto client = TJackMidiClient::Open(clientName);
        qputenv("JACK_DEFAULT_SERVER", saved);
        return client;
    }

    QTemporaryDir Dir;
    QString Name;
    bool Started = false;
};

TEST(JackMidiClientServerTest, ClientOfAStoppedServerAnswersAndCloses)
{
    TOwnServer server;
    ASSERT_TRUE(server.Started);
    auto recorder = std::make_unique<TRecorder>();
    auto client = server.Open("TarvelloClientTestGone");
    ASSERT_NE(client, nullptr);
    int in = -1, out = -1;
    ASSERT_EQ(client->OpenInput("", &recorder->Queue, in), TResult::Opened);
    ASSERT_EQ(client->OpenOutput(client->PortName(true, in), out), TResult::Opened);
    const TEvent note{0x90, 0x3C, 0x40};
    ASSERT_TRUE(Send(*client, out, note));
    ASSERT_TRUE(recorder->WaitForEvent(note)); // it runs on that server

    server.Stop();
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (client->Alive() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_FALSE(client->Alive());
    EXPECT_FALSE(Send(*client, out, note));
    int slot = -1;
    EXPECT_EQ(client->OpenInput("", &recorder->Queue, slot), TResult::ServerGone);
    EXPECT_EQ(client->OpenOutput("", slot), TResult::ServerGone);
    EXPECT_TRUE(client->ListPorts(true).empty());
    client->CloseInput(in);
    client->CloseOutput(out);

    std::promise<void> closed;
    std::future<void> whenClosed = closed.get_future();
    std::thread closer([&client, &closed] {
        client.reset();
        closed.set_value();
    });
    if (whenClosed.wait_for(10s) != std::future_status::ready) {
        closer.detach();
        recorder.release(); // the hung client may still point at its queue
        FAIL() << "the client of a stopped server does not close";
    }
    closer.join();

    // The process can still use the tests' server.
    TRecorder again;
    auto a = TJackMidiClient::Open("TarvelloClientTestA");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->OpenInput("", &again.Queue, in), TResult::Opened);
    ASSERT_EQ(a->OpenOutput(a->PortName(true, in), out), TResult::Opened);
    ASSERT_TRUE(Send(*a, out, note));
    EXPECT_TRUE(again.WaitForEvent(note));
}

} // namespace
} // namespace tarvello::test
