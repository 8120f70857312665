#pragma once

namespace tarvello {

// The navigation values the pad hands to the main window, the same values an
// incoming Program Change or Control Change carries for these actions.
inline constexpr int PadLineDownValue = 122;
inline constexpr int PadLineUpValue = 123;
inline constexpr int PadPageDownValue = 124;
inline constexpr int PadPageUpValue = 125;
inline constexpr int PadNextPromptValue = 126;
inline constexpr int PadPreviousPromptValue = 127;

// What the main window shows: a slot's text line or a slot's file.
enum class TPadDisplayType { TextLine, File };

// The pages of the main window, in their tab order.
enum class TPadPage { Display, Lyric, TextListEdit, FileListEdit, Settings };

// The page "Select" switches to: from any page but the list page of the display
// type it goes to that list page, from the list page back to its display page.
TPadPage PadSelectTarget(TPadDisplayType displayType, TPadPage activePage);

} // namespace tarvello
