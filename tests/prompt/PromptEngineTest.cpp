#include "prompt/PromptEngine.h"

#include "show/Show.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace tarvello {
namespace {

class TEngineTest : public ::testing::Test {
protected:
    TEngineTest()
    {
        QObject::connect(&Engine, &TPromptEngine::PromptSelected,
                         [this](const TPrompt &prompt) { Prompts.push_back(prompt); });
    }

    // The slot shown after `value`, and that exactly one prompt was announced.
    int After(int value)
    {
        Prompts.clear();
        Engine.Select(value, TSelectOrigin::Midi);
        EXPECT_EQ(Prompts.size(), 1u) << value;
        return Prompts.empty() ? -1 : Prompts.back().Slot;
    }

    TShow Show;
    TPromptEngine Engine{Show};
    std::vector<TPrompt> Prompts;
};

TEST_F(TEngineTest, NavigationStopsAtTheEndsAndLineCommandsStayOnTheLyricPage)
{
    Engine.SetStagePage(TStagePage::Display);
    EXPECT_EQ(After(127), 0);
    EXPECT_EQ(After(122), 122) << "showing text lines, 122 is a slot";
    EXPECT_EQ(After(126), 122);
    EXPECT_EQ(After(124), 122);
    EXPECT_TRUE(Prompts.back().Command);

    Engine.SetFileDisplay(true);
    EXPECT_EQ(After(126), 121) << "showing files, Next stops at 121";
    Prompts.clear();
    Engine.Select(122, TSelectOrigin::Midi);
    Engine.Select(123, TSelectOrigin::Remote);
    Engine.Select(128, TSelectOrigin::Midi);
    Engine.Select(-1, TSelectOrigin::Midi);
    EXPECT_TRUE(Prompts.empty()) << "line commands off the Lyric page, values out of range";

    Engine.SetStagePage(TStagePage::Lyric);
    EXPECT_EQ(After(122), 121);
    EXPECT_FALSE(Prompts.back().Selects);
    EXPECT_TRUE(Prompts.back().Command);
    EXPECT_EQ(Prompts.back().Shown, 122);
}

TEST_F(TEngineTest, APageTurnerAtTheEdgeOfAPromptGoesOnToTheNextSlotWhenAsked)
{
    TPromptEdges edges;
    Engine.SetEdgesOfShown([&edges] { return edges; });
    Engine.SetFileDisplay(true);
    Engine.SetStagePage(TStagePage::Lyric);
    Engine.SetCurrentSlot(5);
    edges = {false, true};
    EXPECT_EQ(After(124), 5) << "off by default: the command stays on the prompt";
    EXPECT_TRUE(Prompts.back().Command);

    TSelectionOptions options;
    options.PageTurnerContinues = true;
    Engine.SetOptions(options);
    edges = {false, false};
    EXPECT_EQ(After(124), 5);
    EXPECT_TRUE(Prompts.back().Command) << "in the middle it pages";
    edges = {false, true};
    EXPECT_EQ(After(124), 6);
    EXPECT_FALSE(Prompts.back().Command);
    EXPECT_FALSE(Prompts.back().FromEnd);
    EXPECT_EQ(After(125), 6) << "not at the top";
    edges = {true, true};
    EXPECT_EQ(After(125), 5);
    EXPECT_TRUE(Prompts.back().FromEnd);
    EXPECT_EQ(After(122), 5) << "line commands never leave the prompt";

    // At the ends of the show, and off the Lyric page, it stays a command.
    Engine.SetCurrentSlot(121);
    EXPECT_EQ(After(124), 121);
    EXPECT_TRUE(Prompts.back().Command);
    Engine.SetCurrentSlot(0);
    EXPECT_EQ(After(125), 0);
    EXPECT_TRUE(Prompts.back().Command);
    Engine.SetFileDisplay(false);
    Engine.SetStagePage(TStagePage::Display);
    EXPECT_EQ(After(124), 0);
    EXPECT_TRUE(Prompts.back().Command);
}

TEST_F(TEngineTest, AFileIsResolvedOnceWithItsNeighbours)
{
    QTemporaryDir folder;
    QFile song(folder.filePath(QStringLiteral("song.pdf")));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.close();
    const QString path = song.fileName();
    Show.SetFile(3, path + QStringLiteral(" /page 4"));
    Show.SetFile(4, path + QStringLiteral(" /PAGE x"));
    Show.SetFile(5, QStringLiteral("http://example.org/set"));
    Show.SetFile(6, folder.filePath(QStringLiteral("missing.txt")));
    Engine.SetFileDisplay(true);
    Engine.SetStagePage(TStagePage::Lyric);

    After(3);
    const TPrompt pdf = Prompts.back();
    EXPECT_EQ(pdf.File.Kind, TPromptKind::Pdf);
    EXPECT_EQ(pdf.File.Path, QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(pdf.File.Page, 4);
    ASSERT_EQ(pdf.Neighbours.size(), 1u) << "slot 2 is empty";
    EXPECT_EQ(pdf.Neighbours[0].Kind, TPromptKind::BadPage);
    After(4);
    EXPECT_EQ(Prompts.back().File.Kind, TPromptKind::BadPage);
    EXPECT_EQ(Prompts.back().File.Error, QStringLiteral("'x' is not a valid integer value"));
    After(5);
    EXPECT_EQ(Prompts.back().File.Kind, TPromptKind::WebAddress);
    After(6);
    EXPECT_EQ(Prompts.back().File.Kind, TPromptKind::None);
    EXPECT_TRUE(Prompts.back().File.Path.isEmpty());
    ASSERT_EQ(Prompts.back().Neighbours.size(), 1u);
    EXPECT_EQ(Prompts.back().Neighbours[0].Kind, TPromptKind::WebAddress);
}

} // namespace
} // namespace tarvello
