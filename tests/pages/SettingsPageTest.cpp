#include "pages/SettingsPage.h"

#include "prompt/StoredSettings.h"
#include "support/FindControl.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvello {
namespace {

using test::Control;

// What Restore puts on the page and Collect reads back.
auto Kept(const TStoredSettings &s)
{
    return std::tuple(s.MidiMessage, s.DisplayType, s.SuppressNumber, s.MidiThru, s.MidiOut,
                      s.MidiStringOut, s.TouchPad, s.PdfScrollbar, s.ScrollSeconds, s.AutoScroll,
                      s.ReleaseWindow, s.BandPort, s.BandEnabled);
}

TEST(SettingsPage, RestoreThenCollectGivesBackWhatWasStored)
{
    TSettingsPage page;
    TStoredSettings changed;
    changed.MidiMessage = 1;
    changed.DisplayType = 1;
    changed.SuppressNumber = changed.MidiThru = changed.MidiOut = changed.MidiStringOut = true;
    changed.TouchPad = changed.PdfScrollbar = changed.AutoScroll = changed.BandEnabled = true;
    changed.ScrollSeconds = 95;
    changed.ReleaseWindow = 650;
    changed.BandPort = 9123;
    const TStoredSettings defaults;

    // Each into a page that showed the other, collected over the other.
    for (const auto &[stored, other] :
         {std::pair{changed, defaults}, std::pair{defaults, changed}}) {
        page.Restore(stored);
        TStoredSettings collected = other;
        page.Collect(collected);
        EXPECT_EQ(Kept(collected), Kept(stored));
    }

    // The window's part: a device chosen while absent is kept by its name,
    // none chosen stores none; the rows give the channel and the controller.
    page.SelectInput(QStringLiteral("Stage Keys"));
    page.SetChannelRow(4);
    page.SetControllerRow(-1);
    TStoredSettings devices;
    page.Collect(devices);
    EXPECT_EQ(devices.Input, QStringLiteral("Stage Keys"));
    EXPECT_EQ(devices.Output, std::nullopt);
    EXPECT_EQ(devices.Channel, QStringLiteral("5"));
    EXPECT_EQ(devices.Controller, QStringLiteral("-1"));
    page.SetChannelRow(-1);
    page.Collect(devices);
    EXPECT_EQ(devices.Channel, QStringLiteral("1")) << "the channel the dispatch falls back to";
}

class SettingsPageSignals : public testing::Test {
protected:
    void SetUp() override
    {
        Watch("InputClicked", &TSettingsPage::InputClicked);
        Watch("OutputClicked", &TSettingsPage::OutputClicked);
        Watch("ChannelClicked", &TSettingsPage::ChannelClicked);
        Watch("ControllerClicked", &TSettingsPage::ControllerClicked);
        Watch("MessageTypeClicked", &TSettingsPage::MessageTypeClicked);
        Watch("DisplayTypeClicked", &TSettingsPage::DisplayTypeClicked);
        Watch("MidiThruToggled", &TSettingsPage::MidiThruToggled);
        Watch("SelectionOptionsToggled", &TSettingsPage::SelectionOptionsToggled);
        Watch("TouchPadToggled", &TSettingsPage::TouchPadToggled);
        Watch("PdfScrollbarToggled", &TSettingsPage::PdfScrollbarToggled);
        Watch("AutoScrollToggled", &TSettingsPage::AutoScrollToggled);
        Watch("ScrollSecondsChanged", &TSettingsPage::ScrollSecondsChanged);
        Watch("ReleaseWindowChanged", &TSettingsPage::ReleaseWindowChanged);
        Watch("BandScreensToggled", &TSettingsPage::BandScreensToggled);
        Watch("BandPortChanged", &TSettingsPage::BandPortChanged);
        Watch("LearnClicked", &TSettingsPage::LearnClicked);
        Watch("FontClicked", &TSettingsPage::FontClicked);
        Watch("DonateClicked", &TSettingsPage::DonateClicked);
        Page.resize(850, 330);
        Page.show();
        QApplication::processEvents();
    }

    template <typename Signal> void Watch(const char *name, Signal signal)
    {
        Spies.emplace_back(QLatin1String(name), std::make_unique<QSignalSpy>(&Page, signal));
    }

    // The signals raised since the last call, each named once for each time.
    std::string Raised()
    {
        QApplication::processEvents();
        QStringList raised;
        for (auto &[name, spy] : Spies) {
            for (qsizetype i = 0; i < spy->size(); ++i) {
                raised << name;
            }
            spy->clear();
        }
        return raised.join(QLatin1Char(' ')).toStdString();
    }

    void ClickRow(const char *list, int row)
    {
        auto *control = Control<QListWidget>(&Page, list);
        QTest::mouseClick(control->viewport(), Qt::LeftButton, {},
                          control->visualItemRect(control->item(row)).center());
    }

    // On its box or circle, which a click anywhere on the caption would miss
    // when the caption is shorter than the control.
    static void Tick(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    void Tick(const char *box) { Tick(Control<QCheckBox>(&Page, box)); }

    TSettingsPage Page;
    std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> Spies;
};

TEST_F(SettingsPageSignals, EachOperatorChangeRaisesItsOwnSignalOnce)
{
    // What the program sets raises nothing of the lists.
    Page.SetInputDevices({QStringLiteral("Keys"), QStringLiteral("Pads")});
    Page.SetOutputDevices({QStringLiteral("Synth")});
    Page.SelectInput(QStringLiteral("Pads"));
    Page.SetChannelRow(3);
    Page.SetControllerRow(7);
    Page.ShowController(true);
    EXPECT_EQ(Raised(), "");

    ClickRow("lbMidiIn", 0);
    EXPECT_EQ(Raised(), "InputClicked");
    ClickRow("lbMidiOut", 0);
    EXPECT_EQ(Raised(), "OutputClicked");
    ClickRow("lbChannel", 5);
    EXPECT_EQ(Raised(), "ChannelClicked");
    EXPECT_EQ(Page.ChannelRow(), 5);
    ClickRow("lbController", 20);
    EXPECT_EQ(Raised(), "ControllerClicked");
    // A key that moves the cursor counts as a click; one that cannot does not.
    QTest::keyClick(Control<QListWidget>(&Page, "lbChannel"), Qt::Key_Down);
    EXPECT_EQ(Raised(), "ChannelClicked");
    EXPECT_EQ(Page.ChannelRow(), 6);
    Page.SetChannelRow(0);
    QTest::keyClick(Control<QListWidget>(&Page, "lbChannel"), Qt::Key_Up);
    EXPECT_EQ(Raised(), "");

    Tick(Control<TRadioGroup>(&Page, "rgMessage")->Item(1));
    EXPECT_EQ(Raised(), "MessageTypeClicked");
    Tick(Control<TRadioGroup>(&Page, "rgDisplayType")->Item(1));
    EXPECT_EQ(Raised(), "DisplayTypeClicked");
    EXPECT_EQ(Page.DisplayType(), 1);

    const std::pair<const char *, const char *> boxes[] = {
        {"cbMidiThru", "MidiThruToggled"},        {"cbSuppressNum", "SelectionOptionsToggled"},
        {"cbMidiOut", "SelectionOptionsToggled"}, {"cbMidiStrings", "SelectionOptionsToggled"},
        {"cbTouchPad", "TouchPadToggled"},        {"cbPdfScrollbar", "PdfScrollbarToggled"},
        {"cbAutoScroll", "AutoScrollToggled"},    {"cbBandScreens", "BandScreensToggled"}};
    for (const auto &[box, signal] : boxes) {
        Tick(box);
        EXPECT_EQ(Raised(), signal) << box;
    }
    EXPECT_TRUE(Page.SuppressNumber() && Page.SendMessageOnClick() && Page.SendMidiStrings());
    // The window asks for the page-turner keys when it needs them.
    Tick("cbPedalKeys");
    EXPECT_EQ(Raised(), "");
    EXPECT_TRUE(Page.PedalKeys());

    QTest::keyClick(Control<QSpinBox>(&Page, "seScrollSeconds"), Qt::Key_Up);
    EXPECT_EQ(Raised(), "ScrollSecondsChanged");
    QTest::keyClick(Control<QSpinBox>(&Page, "seReleaseWindow"), Qt::Key_Up);
    EXPECT_EQ(Raised(), "ReleaseWindowChanged");
    // A port typed digit by digit counts once, when the operator is done.
    auto *port = Control<QSpinBox>(&Page, "seBandPort");
    QSignalSpy ports(&Page, &TSettingsPage::BandPortChanged);
    port->setFocus();
    QTest::keyClick(port, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(port, QStringLiteral("9001"));
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(Raised(), "BandPortChanged");
    ASSERT_EQ(ports.size(), 1);
    EXPECT_EQ(ports.first().at(0).toInt(), 9001);

    for (const auto &[button, signal] :
         {std::pair{"bLearn", "LearnClicked"}, std::pair{"bChooseFont", "FontClicked"},
          std::pair{"sbDonate", "DonateClicked"}}) {
        QTest::mouseClick(Control<QAbstractButton>(&Page, button), Qt::LeftButton);
        EXPECT_EQ(Raised(), signal) << button;
    }
}

} // namespace
} // namespace tarvello
