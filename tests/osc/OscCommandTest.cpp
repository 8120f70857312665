#include "osc/OscCommand.h"
#include "osc/OscPublisher.h"
#include "support/OscPeer.h"

#include "core/TarvelloError.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvello::test {
namespace {

using TArguments = std::vector<TOscArgument>;

TOscParsed Parse(std::string_view path, const TArguments &arguments = {}, bool keyNeeded = false)
{
    return ParseOscMessage(path, arguments, "KEY", keyNeeded);
}

void ExpectTaken(const TOscParsed &parsed, TOscVerb verb, int number, const char *what)
{
    ASSERT_TRUE(parsed.Command.has_value()) << what;
    EXPECT_EQ(*parsed.Command, (TOscCommand{verb, number})) << what;
}

void ExpectDropped(const TOscParsed &parsed, TOscDrop why, const char *what)
{
    EXPECT_FALSE(parsed.Command.has_value()) << what;
    EXPECT_EQ(parsed.Drop, why) << what;
}

TEST(TOscCommand, NumbersComeAsIntegersFloatsOrDigitsAndAnythingElseIsDropped)
{
    ExpectTaken(Parse("/tarvello/slot", {OscInt(5)}), TOscVerb::Slot, 5, "i");
    ExpectTaken(Parse("/tarvello/slot", {OscFloat(4.6f)}), TOscVerb::Slot, 5, "f rounded up");
    ExpectTaken(Parse("/tarvello/slot", {OscFloat(5.4f)}), TOscVerb::Slot, 5, "f rounded down");
    ExpectTaken(Parse("/tarvello/slot", {OscText("05")}), TOscVerb::Slot, 5, "s of digits");
    ExpectTaken(Parse("/tarvello/slot", {OscInt(122)}), TOscVerb::Slot, 122, "last slot");
    ExpectTaken(Parse("/tarvello/value", {OscInt(127)}), TOscVerb::Value, 127, "last value");
    ExpectTaken(Parse("/tarvello/show", {OscInt(3)}), TOscVerb::Show, 3, "show");

    ExpectDropped(Parse("/tarvello/slot", {OscInt(123)}), TOscDrop::OutOfRange, "slot 123");
    ExpectDropped(Parse("/tarvello/slot", {OscInt(-1)}), TOscDrop::OutOfRange, "slot -1");
    ExpectDropped(Parse("/tarvello/value", {OscFloat(127.6f)}), TOscDrop::OutOfRange, "128");
    ExpectDropped(Parse("/tarvello/show", {OscInt(16384)}), TOscDrop::OutOfRange, "show");
    ExpectDropped(Parse("/tarvello/slot", {OscText("5a")}), TOscDrop::BadArguments, "5a");
    ExpectDropped(Parse("/tarvello/slot", {OscText("-5")}), TOscDrop::BadArguments, "-5");
    ExpectDropped(Parse("/tarvello/slot", {OscText(" 5")}), TOscDrop::BadArguments, "blank");
    ExpectDropped(Parse("/tarvello/slot", {OscText("")}), TOscDrop::BadArguments, "empty");
    ExpectDropped(Parse("/tarvello/slot", {OscText("99999999999")}), TOscDrop::BadArguments,
                  "digits beyond any number");
    ExpectDropped(Parse("/tarvello/slot", {OscFloat(NAN)}), TOscDrop::BadArguments, "NaN");
    ExpectDropped(Parse("/tarvello/slot", {OscFloat(INFINITY)}), TOscDrop::BadArguments, "inf");
    ExpectDropped(Parse("/tarvello/slot", {{'d', 0, 0, {}}}), TOscDrop::BadArguments, "double");
    ExpectDropped(Parse("/tarvello/slot"), TOscDrop::BadArguments, "no number");
    ExpectDropped(Parse("/tarvello/slot", {OscInt(1), OscInt(2)}), TOscDrop::BadArguments,
                  "two numbers");
    ExpectDropped(Parse("/tarvello/next", {OscInt(1)}), TOscDrop::BadArguments,
                  "a number for a command that takes none");
}

TEST(TOscCommand, AddressesAndTheAliasesOfCuePrograms)
{
    const std::pair<const char *, TOscVerb> plain[] = {{"/tarvello/next", TOscVerb::Next},
                                                       {"/tarvello/previous", TOscVerb::Previous},
                                                       {"/tarvello/line/up", TOscVerb::LineUp},
                                                       {"/tarvello/line/down", TOscVerb::LineDown},
                                                       {"/tarvello/page/up", TOscVerb::PageUp},
                                                       {"/tarvello/page/down", TOscVerb::PageDown},
                                                       {"/tarvello/select", TOscVerb::Select},
                                                       {"/tarvello/ping", TOscVerb::Ping},
                                                       {"/go", TOscVerb::Next}};
    for (const auto &[path, verb] : plain) {
        ExpectTaken(Parse(path), verb, 0, path);
    }
    ExpectTaken(Parse("/cue/7/start"), TOscVerb::Slot, 7, "cue");
    ExpectDropped(Parse("/cue/123/start"), TOscDrop::OutOfRange, "cue beyond the slots");
    ExpectDropped(Parse("/cue/x/start"), TOscDrop::UnknownAddress, "cue of no number");
    ExpectDropped(Parse("/cue//start"), TOscDrop::UnknownAddress, "cue of no number");
    ExpectDropped(Parse("/cue/7/start", {OscInt(1)}), TOscDrop::BadArguments, "cue argument");
    for (const char *path : {"/tarvello/Slot", "/tarvello/slot/", "/tarvello", "", "/go/",
                             "/tarvello/line", "/cue/7/stop"}) {
        ExpectDropped(Parse(path, {OscInt(1)}), TOscDrop::UnknownAddress, path);
    }
}

TEST(TOscCommand, AnotherHostNeedsTheKeyAsTheLastArgument)
{
    ExpectDropped(Parse("/tarvello/next", {}, true), TOscDrop::NoKey, "no key");
    ExpectDropped(Parse("/tarvello/next", {OscText("KEX")}, true), TOscDrop::NoKey, "wrong key");
    ExpectDropped(Parse("/tarvello/next", {OscText("KEYS")}, true), TOscDrop::NoKey, "longer");
    ExpectDropped(Parse("/tarvello/slot", {OscText("KEY"), OscInt(5)}, true), TOscDrop::NoKey,
                  "key not last");
    ExpectTaken(Parse("/tarvello/next", {OscText("KEY")}, true), TOscVerb::Next, 0, "key");
    ExpectTaken(Parse("/tarvello/slot", {OscText("5"), OscText("KEY")}, true), TOscVerb::Slot, 5,
                "digits and key");
    ExpectTaken(Parse("/tarvello/next", {OscText("KEY")}), TOscVerb::Next, 0,
                "this machine may send the key too");
    ExpectDropped(ParseOscMessage("/tarvello/next", {OscText("")}, "", true), TOscDrop::NoKey,
                  "no key set: nothing from other hosts");
}

TEST(TOscTargets, UpToFourAddressesWithPorts)
{
    const QList<TOscTarget> targets =
        ParseOscTargets(QStringLiteral(" 127.0.0.1:9000, [::1]:9001,localhost:9002,"));
    ASSERT_EQ(targets.size(), 3);
    EXPECT_EQ(targets[1], (TOscTarget{QHostAddress(QStringLiteral("::1")), 9001}));
    EXPECT_EQ(targets[2], (TOscTarget{QHostAddress(QHostAddress::LocalHost), 9002}));
    EXPECT_EQ(OscTargetsText(targets),
              QStringLiteral("127.0.0.1:9000, [::1]:9001, 127.0.0.1:9002"));
    EXPECT_TRUE(ParseOscTargets(QString()).isEmpty());
    for (const char *bad : {"stage-pc:9000", "127.0.0.1", "127.0.0.1:0", "127.0.0.1:70000", ":9000",
                            "1.1.1.1:1,1.1.1.2:1,1.1.1.3:1,1.1.1.4:1,1.1.1.5:1"}) {
        EXPECT_THROW(ParseOscTargets(QString::fromLatin1(bad)), TError) << bad;
    }
}

TEST(TOscWire, MessagesReadBackAsWrittenAndBrokenBytesAreNone)
{
    const QByteArray current = OscCurrentMessage(2, 5, QStringLiteral("Intro – Ä"), 3);
    const std::optional<TOscMessage> read = ReadOscMessage(current);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Path, "/tarvello/current");
    ASSERT_EQ(read->Arguments.size(), 4u);
    EXPECT_EQ(read->Arguments[0].Int, 2);
    EXPECT_EQ(read->Arguments[1].Int, 5);
    EXPECT_EQ(QString::fromStdString(read->Arguments[2].Text), QStringLiteral("Intro – Ä"));
    EXPECT_EQ(read->Arguments[3].Int, 3);
    for (qsizetype cut = 0; cut < current.size(); ++cut) {
        EXPECT_FALSE(ReadOscMessage(current.left(cut)).has_value()) << cut;
    }
    EXPECT_FALSE(ReadOscMessage(QByteArray("#bundle\0\0\0\0\0\0\0\0\1", 16)).has_value());
}

} // namespace
} // namespace tarvello::test
