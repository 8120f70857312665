#pragma once

#include <QString>

namespace tarvello {

// Writes the lead sheet of "The Marrow Hill Suite": four pages, one movement
// or part per page, each page marked with its number in large type so that a
// slot opening the document at a page shows at a glance that it worked.
// Throws TError when the file cannot be written.
void WriteDemoScore(const QString &path);

// The number of pages WriteDemoScore writes.
inline constexpr int DemoScorePages = 4;

} // namespace tarvello
