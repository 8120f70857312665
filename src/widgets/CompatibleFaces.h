#pragma once

namespace tarvello {

// The windows are laid out for the Windows faces "Tahoma" and "MS Sans Serif".
// Where the machine has a metric-compatible Tahoma (Debian's fonts-wine keeps
// it outside the desktop's font folders), it is loaded for this program and
// also stands in for "MS Sans Serif", so captions fit the bounds they were
// laid out for. Call once, after the application object is made.
void LoadCompatibleFaces();

} // namespace tarvello
