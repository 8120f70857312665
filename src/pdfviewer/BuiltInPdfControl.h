#pragma once

namespace tarvello {

// Registers the program's own PDF document control: in the registry as the
// handler of the PDF content type under a ProgID of the newer generation
// ("AcroPDF.PDF.1", the class identifier of TAcroPDF), and in the class factory
// under that and under a ProgID of the older generation (first part "PDF").
// Called once at start-up; calling it again changes nothing.
void RegisterBuiltInPdfControl();

inline constexpr const char *BuiltInNewProgId = "AcroPDF.PDF.1";
inline constexpr const char *BuiltInOldProgId = "PDF.TarvelloDocument.1";
inline constexpr const char *BuiltInOldClassId = "{5E3C1A27-8F4B-4C2D-9A61-7D0B2E4F9C13}";

} // namespace tarvello
