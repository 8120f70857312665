#pragma once

#include "pdfhost/ClassIds.h"

namespace tarvello {

// Registers the program's own PDF document control: in the registry as the
// handler of the PDF content type under a ProgID of the newer generation
// ("AcroPDF.PDF.1", the class identifier of TAcroPDF), and in the class factory
// under that and under a ProgID of the older generation (first part "PDF").
// Called once at start-up; calling it again changes nothing.
void RegisterBuiltInPdfControl();

} // namespace tarvello
