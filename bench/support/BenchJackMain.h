#pragma once

namespace tarvello::test {

// The main of a benchmark program that measures over JACK: uses the server the
// environment names when one answers, otherwise starts a private one with the
// dummy back-end (named after namePrefix and this process) for the run and
// stops it afterwards. Benchmarks that need JACK skip themselves when neither
// is possible.
int RunBenchmarksWithJackServer(int argc, char **argv, const char *namePrefix);

} // namespace tarvello::test
