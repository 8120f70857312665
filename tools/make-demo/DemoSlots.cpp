#include "DemoSlots.h"

namespace tarvello {

// A short evening: a welcome page, five songs that each use another kind of
// display, the band's web address, the help page and an encore. The second
// keyboard listens on channel 2; its sound changes travel as MIDI strings,
// and the lines of plain words among them are notes for the player.
const std::vector<TDemoSlot> &DemoSlots()
{
    static const std::vector<TDemoSlot> show = {
        {QStringLiteral("Welcome - press Next on the Nav Pad to start the show"),
         QStringLiteral("welcome.html"),
         {}},
        {QStringLiteral("Copper Morning - G, 96 bpm, capo 2"),
         QStringLiteral("copper-morning-chords.txt"),
         {QStringLiteral("Second keyboard: warm strings, volume 100"), QStringLiteral("C1 30"),
          QStringLiteral("B1 07 64")}},
        {QStringLiteral("Nine Lanterns - piano alone for the first verse"),
         QStringLiteral("nine-lanterns.rtf"),
         {QStringLiteral("C1 00"), QStringLiteral("B1 07 50")}},
        {QStringLiteral("Marrow Hill Suite I - count in four"),
         QStringLiteral("marrow-hill-suite.pdf"),
         {QStringLiteral("Sound module back to General MIDI, then a choir on channel 2"),
          QStringLiteral("F0 7E 7F 09 01 F7"), QStringLiteral("C1 34")}},
        {QStringLiteral("Marrow Hill Suite II - half-time feel"),
         QStringLiteral("marrow-hill-suite.pdf /PAGE 2"),
         {}},
        {QStringLiteral("Salt and Static - big ending, watch the drums"),
         QStringLiteral("salt-and-static.jpg"),
         {QStringLiteral("C1 1D B1 07 7F")}},
        {QStringLiteral("Band website (needs the internet)"),
         QStringLiteral("https://example.org/"),
         {}},
        {QStringLiteral("Getting started with Tarvello"),
         QStringLiteral("TarvelloGettingStarted.html"),
         {}},
        {QStringLiteral("Encore: Slow Train to Ellery - D, 120 bpm"),
         QStringLiteral("slow-train-to-ellery.txt"),
         {QStringLiteral("C1 10"), QStringLiteral("B1 07 5A")}},
    };
    return show;
}

} // namespace tarvello
