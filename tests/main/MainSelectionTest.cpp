#include "MainWindowFixture.h"

#include "prompt/PromptEngine.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace tarvello::test {
namespace {

using TSelectionTest = TMainWindowTest;

// Every source of a selection goes through the engine once; the selection's
// MIDI goes out once for a new slot, and again for the operator's click on
// the row already current.
TEST_F(TSelectionTest, EverySourceSelectsOnceAndTheListClickSendsAgain)
{
    QSignalSpy selected(&Engine(), &TPromptEngine::PromptSelected);
    const auto expectOne = [&](const char *source, int slot, int sent) {
        EXPECT_EQ(selected.size(), 1) << source;
        EXPECT_EQ(CurrentSlot(), slot) << source;
        EXPECT_EQ(SelectionMidiSent, sent) << source;
        selected.clear();
    };

    // A Program Change as the input thread hands it over, with no release
    // window.
    Engine().SetReleaseWindow(0);
    Engine().Dispatch().MidiInputEvent(0, 0xC0, 5, 0);
    ASSERT_TRUE(WaitFor([&] { return selected.size() == 1; }));
    expectOne("MIDI", 5, 1);

    TfTouch pad(100, 100);
    Window->SetTouchPad(&pad);
    Control<QPushButton>(&pad, "bNextFile")->click();
    expectOne("Nav Pad", 6, 2);
    Window->SetTouchPad(nullptr);

    Find<QCheckBox>("cbPedalKeys")->setChecked(true);
    PatchName()->setFocus();
    QTest::keyClick(Window->windowHandle(), Qt::Key_Right);
    expectOne("stage key", 7, 3);

    Find<QTabWidget>("pcMain")->setCurrentWidget(Page("tsTextEdit"));
    EXPECT_EQ(selected.size(), 0) << "an edit page shows nothing";
    LineGrid()->SetRow(11);
    expectOne("list click", 10, 4);
    const QRect row = LineGrid()->visualRect(LineGrid()->model()->index(10, 0));
    QTest::mouseClick(LineGrid()->viewport(), Qt::LeftButton, {}, row.center());
    expectOne("second click on the row", 10, 5);

    Find<QTabWidget>("pcMain")->setCurrentWidget(Page("tsDisplay"));
    expectOne("change of page", 10, 5);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("10 - "));
}

} // namespace
} // namespace tarvello::test
