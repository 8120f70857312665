#pragma once

// The setting of every benchmark that measures over JACK: a test peer with
// its two ports, and the device lists on the real back-end bound to JACK.

#include "support/JackPeer.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace tarvello::test {

// Releases the device lists, makes the peer and binds the lists to JACK; with
// no server, or when the peer's ports are not listed, marks the benchmark
// skipped and returns nullptr.
std::unique_ptr<TJackPeer> StartJackBenchmark(benchmark::State &state);

} // namespace tarvello::test
