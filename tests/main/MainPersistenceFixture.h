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

#include <sys/fsuid.h>
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
