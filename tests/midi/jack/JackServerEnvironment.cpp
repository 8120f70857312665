// Run from CTest, the fixture has started a private server and named it in
// JACK_DEFAULT_SERVER. Run by hand, the program starts one of its own for the
// length of the run, so the tests never depend on a server the machine may have.

#include "support/JackPeer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QtGlobal>

#include <chrono>
#include <thread>

namespace tarvello::test {
namespace {

class TJackServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER")) {
            Name = QStringLiteral("tarvello-direct-%1").arg(QCoreApplication::applicationPid());
            State = QDir::tempPath() + QStringLiteral("/tarvello-jack-tests");
            ASSERT_EQ(QProcess::execute(TARVELLO_JACK_SERVER_SCRIPT,
                                        {QStringLiteral("start"), Name, State}),
                      0)
                << "could not start a private JACK server";
            qputenv("JACK_DEFAULT_SERVER", Name.toLocal8Bit());
        }
        qputenv("JACK_NO_START_SERVER", "1");
        // The fixture waits for the server; allow for a slow machine all the same.
        for (int i = 0; i < 50 && !JackServerReachable(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(JackServerReachable())
            << "no JACK server named " << qgetenv("JACK_DEFAULT_SERVER").toStdString();
    }

    void TearDown() override
    {
        if (!Name.isEmpty()) {
            QProcess::execute(TARVELLO_JACK_SERVER_SCRIPT, {QStringLiteral("stop"), Name, State});
        }
    }

private:
    QString Name;
    QString State;
};

const auto *const Registered = ::testing::AddGlobalTestEnvironment(new TJackServerEnvironment);

} // namespace
} // namespace tarvello::test
