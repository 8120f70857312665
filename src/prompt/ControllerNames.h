#pragma once

#include <QStringList>

namespace tarvello {

// The 128 items of the controller list, one per controller number in order,
// so that an item's index is its controller number: "7   Volume (coarse)",
// or the bare number for controllers without a name ("3").
QStringList ControllerItems();

} // namespace tarvello
