#include "pdfhost/DocumentPreparation.h"

#include <atomic>

namespace tarvello {

namespace {

std::atomic<TDocumentPreparation *> Installed{nullptr};

} // namespace

TDocumentPreparation *TDocumentPreparation::Current()
{
    return Installed.load();
}

void TDocumentPreparation::Install(TDocumentPreparation *preparation)
{
    Installed.store(preparation);
}

} // namespace tarvello
