#pragma once

#include "midi/Midi.h"
#include "support/FakeMidiSystem.h"

#include "core/TarvelloError.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {

// The program-wide device lists over a fresh fake with two inputs and two
// outputs; released after every test.
class MidiFakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake = std::make_shared<TFakeMidiSystem>(QStringList{"In A", "In B"},
                                                 QStringList{"Out A", "Out B"});
        SetMidiSystem(Fake);
    }
    void TearDown() override { ReleaseMidiDevices(); }

    std::shared_ptr<TFakeMidiSystem> Fake;
};

// The message of the TError that f throws, or "<no error>".
template <class F> QString ErrorOf(F &&f)
{
    try {
        f();
    } catch (const TError &error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace tarvello::test
