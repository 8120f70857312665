#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace tarvello::test {

// What a command line tool printed, or nothing when it failed.
QString RunTool(const QString &program, const QStringList &arguments);

// The names of all windows of the X server, as xwininfo lists them.
QStringList XWindowNamesOnScreen();

// The place and size on the screen of the one window whose name starts with
// `start` (xwininfo); nothing when there is none, or more than one.
std::optional<QRect> XWindowGeometry(const QString &start);

// A copy of the built program in a folder of its own, which keeps its settings
// there, started as the desktop starts it and ended as the desktop ends it.
class TProgramCopy {
public:
    // `settings`: the settings file it starts with.
    explicit TProgramCopy(const QByteArray &settings);
    ~TProgramCopy();

    bool Valid() const { return Folder.isValid(); }
    // Starts it and waits until windows whose names start with `windows` are
    // on the screen and it takes the desktop's request to stop. `wrapper`: a
    // command that runs the program (prlimit with its options).
    bool Start(const QStringList &windows, const QStringList &wrapper = {});
    // Another run of the same copy, as a second start from the desktop: not
    // waited for.
    void StartAnother(QProcess &process) const;
    qint64 ProcessId() const { return Program.processId(); }
    // Killed, as a crash or a power cut ends it.
    void Kill();
    // The names of the windows on the screen when it came up.
    QStringList Shown() const { return ShownNames; }
    // SIGTERM, as the desktop sends it: true when the program ended by itself.
    bool Stop();
    QByteArray Settings() const;

private:
    QTemporaryDir Folder;
    QProcess Program;
    QStringList ShownNames;
};

} // namespace tarvello::test
