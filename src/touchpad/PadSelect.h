#pragma once

namespace tarvello {

// What the main window shows: a slot's text line or a slot's file.
enum class TPadDisplayType { TextLine, File };

// The pages of the main window, in their tab order.
enum class TPadPage { Display, Lyric, TextListEdit, FileListEdit, Settings };

// The page "Select" switches to: from any page but the list page of the display
// type it goes to that list page, from the list page back to its display page.
TPadPage PadSelectTarget(TPadDisplayType displayType, TPadPage activePage);

} // namespace tarvello
