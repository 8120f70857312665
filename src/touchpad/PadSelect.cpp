#include "touchpad/PadSelect.h"

namespace tarvello {

TPadPage PadSelectTarget(TPadDisplayType displayType, TPadPage activePage)
{
    if (displayType == TPadDisplayType::TextLine) {
        return activePage == TPadPage::TextListEdit ? TPadPage::Display : TPadPage::TextListEdit;
    }
    return activePage == TPadPage::FileListEdit ? TPadPage::Lyric : TPadPage::FileListEdit;
}

} // namespace tarvello
