#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace tarvello {

// Puts the show on disk soon after every change, so that a program that is
// killed loses at most the last moment's edits. Each change starts a quiet
// period that the next change starts again; when it runs out, `write` stores
// the settings file and the MIDI strings file as the shut-down does.
//
// The stage comes first: a write that falls due while a selection is being
// shown waits until that selection has been painted.
class TShowSaver : public QObject {
    Q_OBJECT

public:
    static constexpr int QuietMilliseconds = 500;

    // `write` throws TError when a file cannot be written.
    explicit TShowSaver(std::function<void()> write, QObject *parent = nullptr);

    // Something the files hold has changed.
    void Changed();
    // The stage is showing a selection now: its paint goes ahead of any write.
    void SelectionShown();
    bool WritePending() const;
    // The error of the last write, empty when it succeeded.
    const QString &LastError() const { return Error; }

signals:
    void Written();
    void WriteFailed(const QString &error);

protected:
    void customEvent(QEvent *event) override;

private:
    void QuietPeriodOver();
    void Write();

    std::function<void()> WriteFiles;
    QTimer Quiet;
    bool PaintPending = false;
    bool WaitingForPaint = false;
    QString Error;
};

} // namespace tarvello
