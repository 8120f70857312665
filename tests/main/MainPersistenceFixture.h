#pragma once

#include "MainWindowFixture.h"

#include "support/FakeMidiSystem.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <csignal>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tarvello::test {

// The operator as the desktop's own choosers behave: a chosen file's folder
// becomes the current directory. Each box also notes whether the main window
// was on screen when it came up.
class TShowDialogs : public TFakeDialogs {
public:
    std::function<bool()> WindowShown;
    std::vector<bool> ShownAtBox;

    TMessageButton MessageBox(QWidget *parent, const QString &title, const QString &text,
                              TMessageKind kind, TMessageButtons buttons) override
    {
        ShownAtBox.push_back(WindowShown && WindowShown());
        return TFakeDialogs::MessageBox(parent, title, text, kind, buttons);
    }
    std::optional<QString> OpenFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override
    {
        return Follow(TFakeDialogs::OpenFileName(parent, caption, directory, filter));
    }
    std::optional<QString> SaveFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override
    {
        return Follow(TFakeDialogs::SaveFileName(parent, caption, directory, filter));
    }

private:
    static std::optional<QString> Follow(std::optional<QString> chosen)
    {
        if (chosen) {
            QDir::setCurrent(QFileInfo(*chosen).absolutePath());
        }
        return chosen;
    }
};

inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

// Makes a folder refuse new files, also for root (whom permissions do not
// stop). False where the file system cannot do that.
inline bool WriteProtectFolder(const QString &folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto refuses = [&] {
        QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
        const bool created = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return !created;
    };
    if (refuses()) {
        return true;
    }
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    return refuses();
}

// A small file system of its own mounted on an (empty) folder while it lives,
// where the machine lets the test mount one (root), so that a test can fill it
// or make it read-only. `Mounted()` false: the folder is as it was.
class TSmallFileSystem {
public:
    explicit TSmallFileSystem(const QString &folder) : Folder(folder)
    {
        IsMounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                       QStringLiteral("-o"), QStringLiteral("size=256k"),
                                       QStringLiteral("tarvello-test"), folder}) == 0;
    }
    ~TSmallFileSystem()
    {
        if (IsMounted) {
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), Folder});
        }
    }
    TSmallFileSystem(const TSmallFileSystem &) = delete;
    TSmallFileSystem &operator=(const TSmallFileSystem &) = delete;

    bool Mounted() const { return IsMounted; }
    // Read-only or writable again; false when that cannot be done.
    bool SetReadOnly(bool readOnly) const
    {
        return IsMounted &&
               QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"),
                                  readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"),
                                  Folder}) == 0;
    }
    // Fills it up with the file `filler`: true once no more fits.
    bool Fill(const QString &filler) const
    {
        QFile file(filler);
        if (!IsMounted || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return false;
        }
        const QByteArray block(4096, 'x');
        for (int i = 0; i < 1024; ++i) {
            if (file.write(block) != block.size()) {
                return true;
            }
        }
        return false;
    }

private:
    QString Folder;
    bool IsMounted = false;
};

// Files this process writes may grow to `bytes` at most (negative: no limit),
// the signal the limit raises ignored as the program ignores it at start-up.
inline bool LimitFileSize(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes < 0 ? limit.rlim_max : rlim_t(bytes);
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// While it lives, this thread opens files as a user other than root, whom
// permissions do not stop otherwise, so that a file without read permission
// cannot be read. Other threads keep their rights; folders the thread needs
// must be open to all.
class TReadingWithoutRootRights {
public:
    TReadingWithoutRootRights()
    {
        if (::geteuid() == 0) {
            ::setfsuid(65534);
            Changed = true;
        }
    }
    ~TReadingWithoutRootRights()
    {
        if (Changed) {
            ::setfsuid(0);
        }
    }
    TReadingWithoutRootRights(const TReadingWithoutRootRights &) = delete;
    TReadingWithoutRootRights &operator=(const TReadingWithoutRootRights &) = delete;

private:
    bool Changed = false;
};

inline void LiftFolderProtection(const QString &folder)
{
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A program start and end with the settings file in a folder of its own (the
// program's folder) and a show folder as the current directory, over a fake
// MIDI system with two inputs and two outputs.
class TPersistenceTest : public TWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ProgramDir.isValid() && ShowDir.isValid());
        StartDir = QDir::currentPath();
        QDir::setCurrent(ShowDir.path());
        UseMidiDevices({"In A", "In B"}, {"Out A", "Out B"});
    }

    void TearDown() override
    {
        End();
        ReleaseMidiDevices();
        QDir::setCurrent(StartDir);
    }

    void UseMidiDevices(const QStringList &inputs, const QStringList &outputs)
    {
        ReleaseMidiDevices();
        Fake = std::make_shared<TFakeMidiSystem>(inputs, outputs);
        SetMidiSystem(Fake);
    }

    // The program starts: the main window is made and restores the show.
    void Start()
    {
        End();
        Dialogs.Records.clear();
        Dialogs.ShownAtBox.clear();
        Window = std::make_unique<TfMain>(Dialogs);
        Dialogs.WindowShown = [this] { return Window && Window->isVisible(); };
        Window->FormCreate(SettingsPath());
        Window->show();
        QApplication::processEvents();
    }

    // The program ends normally: the show is saved and the window goes.
    void End()
    {
        if (!Window) {
            return;
        }
        Window->FormDestroy();
        Window.reset();
        Dialogs.WindowShown = nullptr;
        // The device lists go after the window, as at program end; the next
        // start enumerates afresh.
        ReleaseMidiDevices();
        SetMidiSystem(Fake);
    }

    QString SettingsPath() const { return ProgramDir.filePath(QStringLiteral("Tarvello.INI")); }
    QString MidiStringsPath() const { return ShowDir.filePath(QStringLiteral("MidiStrings.txt")); }
    QByteArray SettingsBytes() const { return ReadBytes(SettingsPath()); }

    QTemporaryDir ProgramDir;
    QTemporaryDir ShowDir;
    QString StartDir;
    TShowDialogs Dialogs;
    std::shared_ptr<TFakeMidiSystem> Fake;
};

} // namespace tarvello::test
