#pragma once

#include <QPointer>
#include <QString>

class QWidget;

namespace tarvello {

// Window functions over Qt's widget tree. A window is a widget; its class name is
// the widget's "windowClass" property when set, else its meta-object class name;
// its text is the window title, or for a widget with a "text" property (edits,
// labels, buttons) that text. Requests to a window are posted as queued calls,
// so they run from the event loop like posted window messages, and a request to
// a window destroyed meanwhile is dropped.
using TWindowHandle = QWidget *;

inline constexpr const char *WindowClassProperty = "windowClass";
// Texts and class names are read into buffers of this size, terminator included.
inline constexpr int WindowTextBufferSize = 256;

QString WindowText(const QWidget *window);
QString WindowClassName(const QWidget *window);
void SetWindowClassName(QWidget *window, const QString &className);

// The first top-level window of the class, shown or not; nullptr when none is.
TWindowHandle FindTopLevelWindow(const QString &className);
// The next window in the same parent (for top-level windows, the next top-level
// window), and the first child window; nullptr when there is none.
TWindowHandle NextSiblingWindow(const QWidget *window);
TWindowHandle FirstChildWindow(const QWidget *window);

void MoveWindow(QWidget *window, int left, int top, int width, int height, bool repaint);
void PostCloseRequest(QWidget *window);
void PostFocusRequest(QWidget *window);

} // namespace tarvello
