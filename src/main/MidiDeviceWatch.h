#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

namespace tarvello {

class TMidiSystem;

// Tells the window's thread that MIDI devices may have come or gone: soon
// after the MIDI system announces a change (a burst of announcements, such
// as a client and its ports, makes one signal), and once a second while the
// system cannot announce or the window asks it to keep looking.
class TMidiDeviceWatch : public QObject {
    Q_OBJECT

public:
    // Between an announcement and the signal, so that the rest of its burst
    // arrives first.
    static constexpr int GatherMilliseconds = 10;
    static constexpr int LookMilliseconds = 1000;

    explicit TMidiDeviceWatch(std::shared_ptr<TMidiSystem> system, QObject *parent = nullptr);
    // The system's announcements end before the watch goes.
    ~TMidiDeviceWatch() override;

    bool Announced() const { return Announcing; }
    // Also looks once a second while the system announces: for a chosen
    // device that is present but could not be opened, or an announcement
    // that did not come.
    void KeepLooking(bool looking);

signals:
    void DevicesChanged();

private:
    void Listen();
    void Announcement();
    void Look();
    void UpdateLookTimer();

    std::shared_ptr<TMidiSystem> System;
    bool Announcing = false;
    bool Looking = false;
    QTimer Gather;
    QTimer LookTimer;
};

} // namespace tarvello
