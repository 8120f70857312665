#include "pdfhost/WindowServices.h"

#include <QApplication>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>

namespace tarvello {

namespace {

QString Truncated(QString text)
{
    text.truncate(WindowTextBufferSize - 1);
    return text;
}

} // namespace

QString WindowText(const QWidget *window)
{
    if (!window) {
        return {};
    }
    if (window->isWindow() || !window->windowTitle().isEmpty()) {
        return Truncated(window->windowTitle());
    }
    const QVariant text = window->property("text");
    if (text.isValid() && text.canConvert<QString>()) {
        return Truncated(text.toString());
    }
    return {};
}

QString WindowClassName(const QWidget *window)
{
    if (!window) {
        return {};
    }
    const QVariant className = window->property(WindowClassProperty);
    if (className.isValid()) {
        return Truncated(className.toString());
    }
    return Truncated(QString::fromLatin1(window->metaObject()->className()));
}

void SetWindowClassName(QWidget *window, const QString &className)
{
    window->setProperty(WindowClassProperty, className);
}

TWindowHandle FindTopLevelWindow(const QString &className)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (WindowClassName(window) == className) {
            return window;
        }
    }
    return nullptr;
}

TWindowHandle NextSiblingWindow(const QWidget *window)
{
    if (!window) {
        return nullptr;
    }
    if (window->isWindow()) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const qsizetype at = windows.indexOf(const_cast<QWidget *>(window));
        return at >= 0 && at + 1 < windows.size() ? windows[at + 1] : nullptr;
    }
    const QObjectList &siblings = window->parentWidget()->children();
    qsizetype at = siblings.indexOf(const_cast<QWidget *>(window));
    for (++at; at > 0 && at < siblings.size(); ++at) {
        auto *sibling = qobject_cast<QWidget *>(siblings[at]);
        // A child that is a window of its own (a dialog, a tool window) is not a
        // child window.
        if (sibling && !sibling->isWindow()) {
            return sibling;
        }
    }
    return nullptr;
}

TWindowHandle FirstChildWindow(const QWidget *window)
{
    if (!window) {
        return nullptr;
    }
    for (QObject *child : window->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isWindow()) {
            return widget;
        }
    }
    return nullptr;
}

void MoveWindow(QWidget *window, int left, int top, int width, int height, bool repaint)
{
    if (!window) {
        return;
    }
    window->setGeometry(left, top, width, height);
    if (repaint) {
        window->update();
    }
}

void PostCloseRequest(QWidget *window)
{
    if (window) {
        QMetaObject::invokeMethod(
            window, [window] { window->close(); }, Qt::QueuedConnection);
    }
}

void PostFocusRequest(QWidget *window)
{
    if (window) {
        QMetaObject::invokeMethod(
            window, [window] { window->setFocus(); }, Qt::QueuedConnection);
    }
}

} // namespace tarvello
