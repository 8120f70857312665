// Band screens: how soon 24 followers have what the stage screen shows.
// (a) a selection to the state at the last of 24 WebSocket followers;
// (b) a remote's POST /api/value to the state at the last follower;
// (c) the act to a prompt's content (HTML of an RTF file, a PDF page's
//     picture) received by four followers of different screen widths, each
//     answer checked: 200, and the content of the slot selected;
// (d) the act to the follow page's text changed in a real browser.
// Each sample is one act; the counters give the median and 99th percentile
// in milliseconds, the samples, and the acts missed (no answer in time, or a
// wrong one), which are left out of the figures.
#include "BenchFiles.h"
#include "band/BandServer.h"
#include "main/MainWindow.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"
#include "support/RawClients.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QPainter>
#include <QPdfDocument>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace tarvello;
using Clock = std::chrono::steady_clock;

constexpr int FollowerCount = 24;

TStandardDialogs Dialogs;
std::unique_ptr<QTemporaryDir> Folder;
std::unique_ptr<TfMain> Window;
quint16 Port = 0;

qint64 Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

TfMain &MainWindow()
{
    if (!Window) {
        Folder = std::make_unique<QTemporaryDir>();
        Window = std::make_unique<TfMain>(Dialogs);
        Window->resize(1000, 640);
        Window->StartEmptyShow();
        Window->show();
        QTcpServer probe;
        probe.listen(QHostAddress::Any, 0);
        Port = probe.serverPort();
        probe.close();
        test::Control<QSpinBox>(Window.get(), QStringLiteral("seBandPort"))->setValue(Port);
        test::Control<QCheckBox>(Window.get(), QStringLiteral("cbBandScreens"))->setChecked(true);
        QApplication::processEvents();
    }
    return *Window;
}

TKeyValueGrid &Grid(const char *name)
{
    return *test::Control<TKeyValueGrid>(&MainWindow(), QString::fromLatin1(name));
}

// Whether a fetched body is the content of `slot` at that screen width.
using TContentCheck = std::function<bool(int slot, int width, const QByteArray &body)>;

// Widths of the followers that fetch content: the one the server starts
// with, a phone, a tablet and a large screen.
const int FetchWidths[] = {1280, 360, 768, 1920};

// 24 followers on a thread of their own, as 24 devices would be: each notes
// when the state naming the awaited take reaches it. For (c) four of them
// also fetch the content of the state for the awaited slot at their width,
// each on a kept-alive connection, as the follow page does.
class TFollowers : public QObject {
public:
    std::atomic<int> Awaited{-1};
    std::atomic<int> Arrived{0};
    std::atomic<qint64> LastArrival{0};
    std::atomic<int> AwaitedSlot{-1};
    // When every fetcher had its answer, and how many answers were wrong.
    std::atomic<qint64> ContentArrival{0};
    std::atomic<int> WrongAnswers{0};
    TContentCheck Check;

    void Open()
    {
        // From three addresses, as the server takes few followers from one.
        for (int i = 0; i < FollowerCount; ++i) {
            auto *follower = new test::TRawFollower(
                Port, QHostAddress(QStringLiteral("127.0.0.%1").arg(10 + i / 8)));
            Followers.emplace_back(follower);
            connect(&follower->Socket, &QTcpSocket::readyRead, this, [this, follower] {
                follower->Take();
                for (const QByteArray &text : std::as_const(follower->Texts)) {
                    Received(follower, QString::fromUtf8(text));
                }
                follower->Texts.clear();
            });
            if (i == 0) {
                Fetcher = follower;
            }
        }
        for (int width : FetchWidths) {
            auto &fetch = Fetches.emplace_back();
            fetch.Width = width;
            fetch.Http = new QTcpSocket(this);
            fetch.Http->connectToHost(QHostAddress::LocalHost, Port);
            connect(fetch.Http, &QTcpSocket::readyRead, this,
                    [this, i = Fetches.size() - 1] { ContentRead(Fetches[i]); });
        }
    }

private:
    struct TFetch {
        int Width = 0;
        QTcpSocket *Http = nullptr;
        QByteArray Answer;
        bool Waiting = false;
    };

    void Received(test::TRawFollower *socket, const QString &message)
    {
        const QJsonObject state = QJsonDocument::fromJson(message.toUtf8()).object();
        const int slot = state.value(QStringLiteral("slot")).toInt();
        if (socket == Fetcher && AwaitedSlot >= 0 && slot == AwaitedSlot) {
            AwaitedSlot = -1;
            FetchedSlot = slot;
            WrongAnswers = 0;
            for (TFetch &fetch : Fetches) {
                fetch.Answer.clear();
                fetch.Waiting = true;
                // The server lets a kept-alive connection go after a quiet while.
                if (fetch.Http->state() == QAbstractSocket::UnconnectedState) {
                    fetch.Http->connectToHost(QHostAddress::LocalHost, Port);
                }
                fetch.Http->write(
                    "GET " + state.value(QStringLiteral("content")).toString().toLatin1() +
                    "?w=" + QByteArray::number(fetch.Width) +
                    " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(Port) + "\r\n\r\n");
            }
        }
        const QString name = state.value(QStringLiteral("name")).toString();
        if (!name.startsWith(QLatin1String("Take ")) || name.mid(5).toInt() != Awaited) {
            return;
        }
        // The heartbeat repeats a state, and a selection is told twice: each
        // follower counts once.
        if (Counted.value(socket, -1) == Awaited) {
            return;
        }
        Counted[socket] = Awaited;
        LastArrival = Now();
        ++Arrived;
    }

    void ContentRead(TFetch &fetch)
    {
        fetch.Answer += fetch.Http->readAll();
        const qsizetype head = fetch.Answer.indexOf("\r\n\r\n");
        if (!fetch.Waiting || head < 0) {
            return;
        }
        const qsizetype at = fetch.Answer.indexOf("Content-Length: ");
        const qsizetype length =
            at < 0 ? 0
                   : fetch.Answer.mid(at + 16, fetch.Answer.indexOf("\r\n", at) - at - 16)
                         .trimmed()
                         .toLongLong();
        if (fetch.Answer.size() < head + 4 + length) {
            return;
        }
        const bool ok = fetch.Answer.startsWith("HTTP/1.1 200 ") &&
                        Check(FetchedSlot, fetch.Width, fetch.Answer.mid(head + 4, length));
        WrongAnswers += ok ? 0 : 1;
        fetch.Answer.clear();
        fetch.Waiting = false;
        if (std::none_of(Fetches.begin(), Fetches.end(),
                         [](const TFetch &f) { return f.Waiting; })) {
            ContentArrival = Now();
        }
    }

    std::vector<std::unique_ptr<test::TRawFollower>> Followers;
    test::TRawFollower *Fetcher = nullptr;
    std::deque<TFetch> Fetches;
    int FetchedSlot = -1;
    QHash<test::TRawFollower *, int> Counted;
};

QThread *FollowerThread = nullptr;
TFollowers *Followers = nullptr;

TFollowers &StartFollowers()
{
    MainWindow();
    if (!Followers) {
        FollowerThread = new QThread;
        FollowerThread->start();
        Followers = new TFollowers;
        Followers->moveToThread(FollowerThread);
        QMetaObject::invokeMethod(
            Followers, [] { Followers->Open(); }, Qt::BlockingQueuedConnection);
        QThread::msleep(300);
    }
    return *Followers;
}

int Take = 0;

// Names slot `slot` "Take N" with a new N, so that its state is told apart.
void NextTake(int slot)
{
    ++Take;
    Grid("vleLines").SetValue(QString::number(slot), QStringLiteral("Take %1").arg(Take));
    Followers->Awaited = Take;
    Followers->Arrived = 0;
}

bool WaitForAll(qint64 deadlineMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (Followers->Arrived < FollowerCount) {
        if (clock.elapsed() > deadlineMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 0);
    }
    return true;
}

// Past this many missed samples a case stops and reports an error, rather
// than waiting out every deadline.
constexpr int MissedLimit = 20;

void Report(benchmark::State &state, std::vector<double> samples, int missed = 0)
{
    state.counters["samples"] = double(samples.size());
    state.counters["missed"] = double(missed);
    if (missed > MissedLimit) {
        return;
    }
    if (samples.empty()) {
        state.SkipWithError("no sample arrived");
        return;
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    state.counters["max_ms"] = samples.back();
}

void TextLines()
{
    TfMain &window = MainWindow();
    test::UseDisplayType(window, 0);
}

void BM_A_ActToLastOf24Followers(benchmark::State &state)
{
    TextLines();
    StartFollowers();
    std::vector<double> samples;
    int missed = 0;
    int slot = 5;
    for (auto _ : state) {
        slot = slot == 5 ? 6 : 5;
        NextTake(slot);
        const qint64 start = Now();
        test::SelectValue(Window.get(), slot);
        if (WaitForAll()) {
            samples.push_back(double(Followers->LastArrival - start) / 1e6);
        } else if (++missed > MissedLimit) {
            state.SkipWithError("too many samples missed");
            break;
        }
    }
    Report(state, samples, missed);
}
BENCHMARK(BM_A_ActToLastOf24Followers)->Iterations(1000)->Unit(benchmark::kMillisecond);

void BM_B_RemotePostToLastOf24Followers(benchmark::State &state)
{
    TextLines();
    StartFollowers();
    QTcpSocket remote;
    remote.connectToHost(QHostAddress::LocalHost, Port);
    remote.waitForConnected(2000);
    const QByteArray key = Window->BandKey().toLatin1();
    const QByteArray host = "127.0.0.1:" + QByteArray::number(Port);
    std::vector<double> samples;
    int missed = 0;
    int slot = 5;
    for (auto _ : state) {
        slot = slot == 5 ? 6 : 5;
        NextTake(slot);
        const QByteArray body = "{\"value\": " + QByteArray::number(slot) + "}";
        const qint64 start = Now();
        remote.write("POST /api/value HTTP/1.1\r\nHost: " + host + "\r\nAuthorization: Bearer " +
                     key + "\r\nContent-Type: application/json\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body);
        remote.flush();
        if (WaitForAll()) {
            samples.push_back(double(Followers->LastArrival - start) / 1e6);
        } else if (++missed > MissedLimit) {
            state.SkipWithError("too many samples missed");
            break;
        }
        remote.readAll();
    }
    Report(state, samples, missed);
}
BENCHMARK(BM_B_RemotePostToLastOf24Followers)->Iterations(1000)->Unit(benchmark::kMillisecond);

QByteArray RtfSong(int verses)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red200"
                     "\\green0\\blue0;}\n";
    for (int verse = 0; verse < verses; ++verse) {
        rtf += "\\pard\\qc\\fs36\\b Verse " + QByteArray::number(verse) +
               "\\b0\\par\n"
               "\\pard\\fs28 When the {\\i lights} go down and the {\\cf1 drums} begin,\\line "
               "we sing it loud and we sing it clear\\par\n";
    }
    return rtf + "}";
}

// From the act to the last byte of the content at the last of four followers
// of different widths, which take the state's content path from a socket and
// fetch it at once. An act counts only when all four answers are right.
void ActToContent(benchmark::State &state, const QString &first, const QString &second,
                  TContentCheck check)
{
    TfMain &window = MainWindow();
    TFollowers &followers = StartFollowers();
    followers.Check = std::move(check);
    test::UseDisplayType(window, 1);
    Grid("vleFiles").SetValue(QStringLiteral("5"), first);
    Grid("vleFiles").SetValue(QStringLiteral("6"), second);
    Grid("vleLines").SetValue(QStringLiteral("5"), QString());
    std::vector<double> samples;
    std::vector<double> acts;
    int missed = 0;
    int slot = 5;
    // Both prompts shown once: each is the other's neighbour from then on.
    test::SelectValue(&window, 6);
    test::SelectValue(&window, 5);
    QThread::msleep(500);
    for (auto _ : state) {
        slot = slot == 5 ? 6 : 5;
        QApplication::processEvents();
        QThread::msleep(30); // the neighbour is prepared meanwhile, as between songs
        followers.ContentArrival = 0;
        followers.AwaitedSlot = slot;
        const qint64 start = Now();
        test::SelectValue(&window, slot);
        acts.push_back(double(Now() - start) / 1e6);
        QElapsedTimer wait;
        wait.start();
        while (followers.ContentArrival == 0 && wait.elapsed() < 3000) {
            QApplication::processEvents(QEventLoop::AllEvents, 0);
        }
        if (followers.ContentArrival != 0 && followers.WrongAnswers == 0) {
            samples.push_back(double(followers.ContentArrival - start) / 1e6);
        } else if (++missed > MissedLimit) {
            state.SkipWithError("too many samples missed");
            break;
        }
    }
    Report(state, samples, missed);
    // The stage's own share: the selection until it returns.
    std::sort(acts.begin(), acts.end());
    state.counters["act_median_ms"] = acts[acts.size() / 2];
}

void BM_C_ActToRtfContent(benchmark::State &state)
{
    MainWindow();
    // Slot 6 holds the longer song: only its HTML has a 60th verse.
    ActToContent(state, WriteBenchFile(*Folder, QStringLiteral("one.rtf"), RtfSong(40)),
                 WriteBenchFile(*Folder, QStringLiteral("two.rtf"), RtfSong(60)),
                 [](int slot, int, const QByteArray &body) {
                     return body.contains("Verse 39") && body.contains("Verse 59") == (slot == 6);
                 });
}
BENCHMARK(BM_C_ActToRtfContent)->Iterations(300)->Unit(benchmark::kMillisecond);

// A page at a small fixed size, grey, for telling pages apart whatever size
// they were drawn at.
QImage Thumbnail(const QImage &page)
{
    // On white: where nothing is drawn, a rendered page is transparent.
    QImage flat(page.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, page);
    return flat.scaled(200, 280, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Grayscale8);
}

double Distance(const QImage &a, const QImage &b)
{
    if (a.size() != b.size()) {
        return std::numeric_limits<double>::infinity();
    }
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *left = a.constScanLine(y);
        const uchar *right = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(int(left[x]) - int(right[x]));
        }
    }
    return sum / (a.width() * a.height());
}

void BM_C_ActToPdfPagePicture(benchmark::State &state)
{
    MainWindow();
    const QString book = Folder->filePath(QStringLiteral("book.pdf"));
    WriteSongbook(book, 6);
    // Slot 5 shows page 2, slot 6 page 4: a picture is right when it is nearer
    // its own page than the other.
    QPdfDocument document;
    document.load(book);
    std::map<int, QImage> pages;
    for (int page : {2, 4}) {
        const QSizeF points = document.pagePointSize(page - 1);
        pages[page] = Thumbnail(document.render(
            page - 1, QSize(600, int(std::lround(600 * points.height() / points.width())))));
    }
    ActToContent(state, book + QStringLiteral(" /PAGE 2"), book + QStringLiteral(" /PAGE 4"),
                 [pages](int slot, int, const QByteArray &body) {
                     const QImage image = QImage::fromData(body, "PNG");
                     if (image.isNull()) {
                         return false;
                     }
                     const QImage shown = Thumbnail(image);
                     return Distance(shown, pages.at(slot == 5 ? 2 : 4)) <
                            Distance(shown, pages.at(slot == 5 ? 4 : 2));
                 });
}
BENCHMARK(BM_C_ActToPdfPagePicture)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_D_ActToFollowPageText(benchmark::State &state)
{
    TextLines();
    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    // Tells the bench when the page's text changes: the title follows it.
    QWebEngineScript watch;
    watch.setInjectionPoint(QWebEngineScript::DocumentReady);
    watch.setWorldId(QWebEngineScript::ApplicationWorld);
    watch.setSourceCode(QStringLiteral("new MutationObserver(() => { document.title = "
                                       "document.getElementById('line').textContent; })"
                                       ".observe(document.getElementById('line'), {childList: "
                                       "true, characterData: true, subtree: true});"));
    view.page()->scripts().insert(watch);
    QString title;
    QObject::connect(view.page(), &QWebEnginePage::titleChanged,
                     [&](const QString &t) { title = t; });
    bool loaded = false;
    QObject::connect(view.page(), &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    view.load(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(Port)));
    QElapsedTimer clock;
    clock.start();
    while (!loaded && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // The socket is open once a state has painted.
    test::SelectValue(Window.get(), 7);
    while (!title.startsWith(QLatin1String("7 - ")) && clock.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::vector<double> samples;
    int missed = 0;
    int slot = 5;
    for (auto _ : state) {
        slot = slot == 5 ? 6 : 5;
        ++Take;
        const QString expected = QStringLiteral("%1 - Take %2").arg(slot).arg(Take);
        Grid("vleLines").SetValue(QString::number(slot), QStringLiteral("Take %1").arg(Take));
        QApplication::processEvents();
        QThread::msleep(20);
        const qint64 start = Now();
        test::SelectValue(Window.get(), slot);
        QElapsedTimer wait;
        wait.start();
        while (title != expected && wait.elapsed() < 2000) {
            QApplication::processEvents(QEventLoop::AllEvents, 0);
        }
        if (title == expected) {
            samples.push_back(double(Now() - start) / 1e6);
        } else if (++missed > MissedLimit) {
            state.SkipWithError("too many samples missed");
            break;
        }
    }
    Report(state, samples, missed);
}
BENCHMARK(BM_D_ActToFollowPageText)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::PrepareTestEnvironment();
    QApplication app(argc, argv);
    tarvello::RegisterBuiltInPdfControl();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (Followers) {
        QMetaObject::invokeMethod(
            Followers, [] { delete Followers; }, Qt::BlockingQueuedConnection);
        FollowerThread->quit();
        FollowerThread->wait();
    }
    Window.reset();
    Folder.reset();
    return 0;
}
