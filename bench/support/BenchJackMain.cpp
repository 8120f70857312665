#include "BenchJackMain.h"

#include "midi/Midi.h"
#include "support/JackPeer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace tarvello::test {

namespace {

std::string ServerScript(const char *command, const std::string &server)
{
    return std::string(TARVELLO_SOURCE_DIR) + "/tests/midi/jack/jack-server " + command + " " +
           server + " /tmp/tarvello-bench";
}

} // namespace

int RunBenchmarksWithJackServer(int argc, char **argv, const char *namePrefix)
{
    setenv("JACK_NO_START_SERVER", "1", 1);
    std::string privateServer;
    if (!JackServerReachable()) {
        privateServer = std::string(namePrefix) + "-" + std::to_string(::getpid());
        setenv("JACK_DEFAULT_SERVER", privateServer.c_str(), 1);
        if (std::system(ServerScript("start", privateServer).c_str()) != 0) {
            privateServer.clear();
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReleaseMidiDevices();
    if (!privateServer.empty()) {
        std::system(ServerScript("stop", privateServer).c_str());
    }
    return 0;
}

} // namespace tarvello::test
