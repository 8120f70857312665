#pragma once

namespace tarvello {

// The class identifier under which the newer generation's host (TAcroPDF)
// creates its document control.
inline constexpr const char *AcroPdfClassId = "{CA8A9780-280D-11CF-A24D-444553540000}";

// The ProgIDs and the older generation's class identifier under which the
// program's own document control is registered.
inline constexpr const char *BuiltInNewProgId = "AcroPDF.PDF.1";
inline constexpr const char *BuiltInOldProgId = "PDF.TarvelloDocument.1";
inline constexpr const char *BuiltInOldClassId = "{5E3C1A27-8F4B-4C2D-9A61-7D0B2E4F9C13}";

} // namespace tarvello
