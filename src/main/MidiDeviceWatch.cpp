#include "main/MidiDeviceWatch.h"

#include "midi/MidiSystem.h"

#include <QMetaObject>

#include <utility>

namespace tarvello {

TMidiDeviceWatch::TMidiDeviceWatch(std::shared_ptr<TMidiSystem> system, QObject *parent)
    : QObject(parent), System(std::move(system))
{
    Gather.setSingleShot(true);
    Gather.setInterval(GatherMilliseconds);
    connect(&Gather, &QTimer::timeout, this, &TMidiDeviceWatch::DevicesChanged);
    LookTimer.setInterval(LookMilliseconds);
    connect(&LookTimer, &QTimer::timeout, this, &TMidiDeviceWatch::Look);
    Listen();
    UpdateLookTimer();
}

TMidiDeviceWatch::~TMidiDeviceWatch()
{
    if (Announcing) {
        System->WatchDevices({});
    }
}

void TMidiDeviceWatch::Listen()
{
    // The system calls on a thread of its own; the call only asks this
    // thread to gather what follows.
    Announcing = System->WatchDevices([this] {
        QMetaObject::invokeMethod(this, &TMidiDeviceWatch::Announcement, Qt::QueuedConnection);
    });
}

void TMidiDeviceWatch::Announcement()
{
    if (!Gather.isActive()) {
        Gather.start();
    }
}

void TMidiDeviceWatch::Look()
{
    if (!Announcing) {
        // A system that had nothing to announce with (no MIDI server yet) may
        // have one now.
        Listen();
        UpdateLookTimer();
    }
    emit DevicesChanged();
}

void TMidiDeviceWatch::KeepLooking(bool looking)
{
    Looking = looking;
    UpdateLookTimer();
}

void TMidiDeviceWatch::UpdateLookTimer()
{
    if (!Announcing || Looking) {
        if (!LookTimer.isActive()) {
            LookTimer.start();
        }
    } else {
        LookTimer.stop();
    }
}

} // namespace tarvello
