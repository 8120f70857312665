#pragma once

// Watching a program's window from outside, as a performer's eyes would: a
// private X server (Xvfb) for the program to draw on, and a fast read-back of
// a region of its screen through the X server's shared-memory images.

#include <QProcess>
#include <QRect>
#include <QString>

#include <chrono>
#include <memory>
#include <vector>

namespace tarvello::test {

// An Xvfb of its own on the first free display number from `firstDisplay`,
// stopped when this goes.
class TPrivateXServer {
public:
    explicit TPrivateXServer(int firstDisplay = 140);
    ~TPrivateXServer();
    TPrivateXServer(const TPrivateXServer &) = delete;
    TPrivateXServer &operator=(const TPrivateXServer &) = delete;

    bool Running() const { return !Name.isEmpty(); }
    // ":N", for DISPLAY.
    QString DisplayName() const { return Name; }

private:
    QProcess Server;
    QString Name;
};

// Reads one rectangle of the screen of a display, again and again.
class TScreenWatch {
public:
    TScreenWatch(const QString &display, const QRect &region);
    ~TScreenWatch();
    TScreenWatch(const TScreenWatch &) = delete;
    TScreenWatch &operator=(const TScreenWatch &) = delete;

    bool Ready() const;
    // The region's pixels now.
    std::vector<char> Grab();
    // Polls about every `pace` until the region differs from `before`; false
    // when it has not changed within `limit`.
    bool WaitForChange(const std::vector<char> &before, std::chrono::milliseconds limit,
                       std::chrono::microseconds pace = std::chrono::microseconds(1000));
    // Polls until the region has not changed for `quiet`, at most `limit`.
    std::vector<char> WaitUntilStill(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds limit);

private:
    struct TX;
    std::unique_ptr<TX> X;
};

} // namespace tarvello::test
