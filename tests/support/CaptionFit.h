#pragma once

#include <QStringList>

class QWidget;

namespace tarvello::test {

// The captions under `root` that the operator cannot read whole: a label,
// check box, radio button, push button or group box title wider than its
// control, or a control whose caption runs into a sibling control. Each entry
// names the control and what it measured. Hidden controls are left out.
QStringList ClippedCaptions(const QWidget *root);

} // namespace tarvello::test
