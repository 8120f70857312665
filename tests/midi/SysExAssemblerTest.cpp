#include "midi/SysExAssembler.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

namespace tarvello {
namespace {

// Feeds events written as hex and returns what comes out, as hex.
class TAssembled {
public:
    TAssembled()
        : Assembler([this](const std::uint8_t *data, std::size_t size) {
              Out.append(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))
                             .toHex()
                             .toUpper());
          })
    {
    }
    TAssembled &Feed(const char *hex)
    {
        Feed(QByteArray::fromHex(hex));
        return *this;
    }
    void Feed(const QByteArray &bytes)
    {
        Assembler.Feed(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()));
    }
    QStringList Out;
    TSysExAssembler Assembler;
};

TEST(SysExAssemblerTest, PiecesOfADumpArriveAsOneMessageAndEverythingElsePasses)
{
    TAssembled whole;
    whole.Feed("F07E7F0601F7").Feed("C305").Feed("F8").Feed("7F");
    EXPECT_EQ(whole.Out, (QStringList{"F07E7F0601F7", "C305", "F8", "7F"}));

    // A clock tick between the pieces goes on at once; the dump goes on after it.
    TAssembled pieces;
    pieces.Feed("F0431200").Feed("F8").Feed("01020304").Feed("0506F7").Feed("B00764");
    EXPECT_EQ(pieces.Out, (QStringList{"F8", "F0431200010203040506F7", "B00764"}));

    // The end byte may come on its own.
    TAssembled lone;
    lone.Feed("F00102").Feed("F7");
    EXPECT_EQ(lone.Out, QStringList{"F00102F7"});
}

TEST(SysExAssemblerTest, AnUnfinishedDumpIsDroppedAndTheRestKept)
{
    // Another status byte ends it: the part is lost, the message that cut in is not.
    TAssembled cut;
    cut.Feed("F00102").Feed("C001").Feed("0304F7");
    EXPECT_EQ(cut.Out, (QStringList{"C001", "0304F7"}));

    // A new dump begins before the last one ended.
    TAssembled restarted;
    restarted.Feed("F00102").Feed("F00304F7");
    EXPECT_EQ(restarted.Out, QStringList{"F00304F7"});

    // Longer than the limit: dropped whole, also its end; the next one is whole.
    TAssembled endless;
    endless.Feed("F001");
    const QByteArray chunk(64 * 1024, '\x22');
    for (std::size_t sent = 0; sent <= TSysExAssembler::MaxSize;
         sent += static_cast<std::size_t>(chunk.size())) {
        endless.Feed(chunk);
    }
    endless.Feed("2233F7").Feed("F07E7F0601F7");
    EXPECT_EQ(endless.Out, QStringList{"F07E7F0601F7"});
}

TEST(SysExAssemblerTest, RandomEventsNeverYieldAnUnendedDump)
{
    TAssembled random;
    QRandomGenerator generator(20261208);
    for (int i = 0; i < 20000; ++i) {
        QByteArray event(1 + int(generator.bounded(8)), '\0');
        for (char &byte : event) {
            byte = char(generator.bounded(256));
        }
        random.Feed(event);
    }
    ASSERT_FALSE(random.Out.isEmpty());
    for (const QString &message : random.Out) {
        if (message.startsWith("F0")) {
            EXPECT_TRUE(message.endsWith("F7")) << message.toStdString();
        }
    }
}

} // namespace
} // namespace tarvello
