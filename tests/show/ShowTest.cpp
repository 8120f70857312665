#include "show/Show.h"

#include "core/TarvelloError.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

using TChange = std::pair<int, TSlotField>;

std::vector<TChange> Changes(const QSignalSpy &spy)
{
    std::vector<TChange> changes;
    for (const QList<QVariant> &signal : spy) {
        changes.emplace_back(signal.at(0).toInt(), signal.at(1).value<TSlotField>());
    }
    return changes;
}

TEST(Show, EachChangeIsAnnouncedOnceForItsSlotAndField)
{
    TShow show;
    QSignalSpy spy(&show, &TShow::SlotChanged);
    show.SetLine(0, QStringLiteral("Intro"));
    show.SetLine(0, QStringLiteral("Intro")); // no change, no signal
    show.SetFile(122, QStringLiteral("last.pdf"));
    show.SetMidiStrings(5, {QStringLiteral("C0 05")});
    show.SetStrayMidiStrings({QStringLiteral("ahead")});
    EXPECT_EQ(Changes(spy), (std::vector<TChange>{{0, TSlotField::Line},
                                                  {122, TSlotField::File},
                                                  {5, TSlotField::MidiStrings},
                                                  {-1, TSlotField::MidiStrings}}));
    EXPECT_EQ(show.Line(0), QStringLiteral("Intro"));
    EXPECT_EQ(show.MidiStringLists()[RowOfSlot(5)], QStringList{QStringLiteral("C0 05")});
    EXPECT_EQ(show.StrayMidiStrings(), QStringList{QStringLiteral("ahead")});

    // The list edits change only what differs, each change announced.
    spy.clear();
    show.SetLine(1, QStringLiteral("Verse"));
    EXPECT_EQ(show.MoveEntry(TSlotField::Line, 1, TMoveDirection::Up), 0);
    EXPECT_EQ(show.Line(0), QStringLiteral("Verse"));
    EXPECT_EQ(show.Line(1), QStringLiteral("Intro"));
    EXPECT_EQ(show.MoveEntry(TSlotField::Line, 0, TMoveDirection::Up), -1);
    EXPECT_EQ(Changes(spy),
              (std::vector<TChange>{
                  {1, TSlotField::Line}, {0, TSlotField::Line}, {1, TSlotField::Line}}));
    show.DeleteFileEntry(122);
    EXPECT_TRUE(show.File(122).isEmpty());
    show.ClearMidiStrings();
    EXPECT_TRUE(show.MidiStrings(5).isEmpty());
    EXPECT_FALSE(show.StrayMidiStrings().isEmpty()) << "the stray lines are not the operator's";

    EXPECT_THROW(show.SetLine(123, QString()), TError);
    EXPECT_THROW((void)show.MidiStrings(-1), TError);
    EXPECT_THROW(show.SetText(TSlotField::MidiStrings, 0, QString()), TError);
}

} // namespace
} // namespace tarvello
