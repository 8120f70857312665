#include "prompt/ShowSaver.h"

#include "core/TarvelloError.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace tarvello {
namespace {

// Stands for the widget that repaints: it notes when its paint comes.
class TPaintRecorder : public QObject {
public:
    std::function<void()> Painted;

protected:
    void customEvent(QEvent *) override { Painted(); }
};

TEST(ShowSaverTest, WritesOnceTheChangesSettleNeverAheadOfAPaintAndTriesAgainAfterAFailure)
{
    QStringList log;
    bool failing = false;
    TShowSaver saver([&] {
        if (failing) {
            throw TError(QStringLiteral("Unable to write to show.INI"));
        }
        log << QStringLiteral("write");
    });

    // Changes in a row: one write, after the last.
    for (int i = 0; i < 3; ++i) {
        saver.Changed();
        test::WaitFor([] { return false; }, 100);
    }
    EXPECT_TRUE(log.isEmpty());
    ASSERT_TRUE(test::WaitFor([&] { return !log.isEmpty(); }));
    test::WaitFor([] { return false; }, 700);
    EXPECT_EQ(log, QStringList{"write"});
    EXPECT_FALSE(saver.WritePending());

    // The quiet period runs out just after a timer (the MIDI release window)
    // showed a selection, before its paint: the paint goes first.
    log.clear();
    TPaintRecorder stage;
    stage.Painted = [&] { log << QStringLiteral("paint"); };
    QTimer selection;
    selection.setSingleShot(true);
    QObject::connect(&selection, &QTimer::timeout, &stage, [&] {
        QCoreApplication::postEvent(&stage, new QEvent(QEvent::User), Qt::LowEventPriority);
        saver.SelectionShown();
    });
    selection.start(TShowSaver::QuietMilliseconds);
    saver.Changed();
    std::this_thread::sleep_for(std::chrono::milliseconds(TShowSaver::QuietMilliseconds + 100));
    ASSERT_TRUE(test::WaitFor([&] { return log.contains(QStringLiteral("write")); }));
    EXPECT_EQ(log, (QStringList{"paint", "write"}));

    // A failure is kept, not thrown, with its cause when it is a file's;
    // the next change writes again.
    log.clear();
    failing = true;
    saver.Changed();
    ASSERT_TRUE(test::WaitFor([&] { return !saver.LastError().isEmpty(); }));
    EXPECT_EQ(saver.LastError(), QStringLiteral("Unable to write to show.INI"));
    failing = false;
    saver.Changed();
    ASSERT_TRUE(test::WaitFor([&] { return !log.isEmpty(); }));
    EXPECT_TRUE(saver.LastError().isEmpty());

    // Without a change, a failed write is tried again after the retry
    // interval, until it succeeds; a success ends the retries.
    log.clear();
    int attempts = 0;
    TShowSaver retrying([&] {
        if (++attempts < 3) {
            throw TWriteError(QStringLiteral("Unable to write to show.INI"),
                              QStringLiteral("No space left on device"));
        }
        log << QStringLiteral("write");
    });
    retrying.SetRetryInterval(300);
    retrying.Changed();
    ASSERT_TRUE(test::WaitFor([&] { return attempts == 1; }));
    EXPECT_EQ(retrying.LastError(),
              QStringLiteral("Unable to write to show.INI (No space left on device)"));
    ASSERT_TRUE(test::WaitFor([&] { return !log.isEmpty(); }, 3000));
    EXPECT_EQ(attempts, 3);
    test::WaitFor([] { return false; }, 700);
    EXPECT_EQ(attempts, 3);
    EXPECT_TRUE(retrying.LastError().isEmpty());
}

} // namespace
} // namespace tarvello
