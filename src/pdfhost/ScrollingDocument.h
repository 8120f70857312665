#pragma once

class QScrollBar;

namespace tarvello {

// A document control whose pages scroll in a view of its own. The host reaches
// that view's vertical scroll bar through this, without knowing the control's
// class (autoscroll moves the bar).
class TScrollingDocument {
public:
    virtual ~TScrollingDocument() = default;
    // None while no document is open.
    virtual QScrollBar *PageScrollBar() const = 0;
};

} // namespace tarvello
