#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace tarvello {

// Puts the show on disk soon after every change, so that a program that is
// killed loses at most the last moment's edits. Each change starts a quiet
// period that the next change starts again; when it runs out, `write` stores
// the settings file and the MIDI strings file as the shut-down does. Changes
// that keep coming (a window dragged, a spin box held) are written at the
// latest `LongestWaitMilliseconds` after the first of them.
//
// The stage comes first: a write that falls due while a selection is being
// shown waits until that selection has been painted. A write that fails is
// tried again at the next change and, until one succeeds, every
// `RetryMilliseconds` on its own (a disk that was full may have room again).
class TShowSaver : public QObject {
    Q_OBJECT

public:
    static constexpr int QuietMilliseconds = 500;
    static constexpr int LongestWaitMilliseconds = 900;
    static constexpr int RetryMilliseconds = 30000;

    // `write` throws TError when a file cannot be written.
    explicit TShowSaver(std::function<void()> write, QObject *parent = nullptr);

    // Something the files hold has changed.
    void Changed();
    // The stage is showing a selection now: its paint goes ahead of any write.
    void SelectionShown();
    bool WritePending() const;
    // Writes at once, without the quiet period (what a change has pending is
    // written with it).
    void WriteNow();
    // How long after a failure the write is tried again by itself.
    void SetRetryInterval(int milliseconds) { Retry.setInterval(milliseconds); }
    // The error of the last write, empty when it succeeded.
    const QString &LastError() const { return Error; }

signals:
    void Written();
    void WriteFailed(const QString &error);

private:
    void Painted();
    void QuietPeriodOver();
    void Write();

    std::function<void()> WriteFiles;
    QTimer Quiet;
    QTimer Longest;
    QTimer Retry;
    bool PaintPending = false;
    bool WaitingForPaint = false;
    QString Error;
};

} // namespace tarvello
