#include "X11Support.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace tarvello::test {
namespace {

// Whether the process has its handler for SIGTERM in place (SigCgt, bit 15).
bool CatchesTerm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> 14 & 1) != 0;
        }
    }
    return false;
}

QProcessEnvironment ProgramEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No MIDI server is started for it, and none of the tests' is used.
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), QStringLiteral("tarvello-none"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

const QStringList PlatformArguments{QStringLiteral("-platform"), QStringLiteral("xcb")};

} // namespace

QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList XWindowNamesOnScreen()
{
    const QString tree =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    static const QRegularExpression window(QStringLiteral("^\\s*0x[0-9a-f]+ \"(.*)\": "),
                                           QRegularExpression::MultilineOption);
    QStringList names;
    for (auto match = window.globalMatch(tree); match.hasNext();) {
        names << match.next().captured(1);
    }
    return names;
}

std::optional<QRect> XWindowGeometry(const QString &start)
{
    const QString tree =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    static const QRegularExpression window(QStringLiteral("^\\s*(0x[0-9a-f]+) \"(.*)\": "),
                                           QRegularExpression::MultilineOption);
    QStringList ids;
    for (auto match = window.globalMatch(tree); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        if (found.captured(2).startsWith(start)) {
            ids << found.captured(1);
        }
    }
    if (ids.size() != 1) {
        return std::nullopt;
    }
    const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), ids.front()});
    std::optional<int> x, y, width, height;
    static const QRegularExpression line(QStringLiteral("^\\s*(.+):\\s+(-?\\d+)$"),
                                         QRegularExpression::MultilineOption);
    for (auto match = line.globalMatch(info); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QString label = found.captured(1);
        const int number = found.captured(2).toInt();
        if (label == QLatin1String("Absolute upper-left X")) {
            x = number;
        } else if (label == QLatin1String("Absolute upper-left Y")) {
            y = number;
        } else if (label == QLatin1String("Width")) {
            width = number;
        } else if (label == QLatin1String("Height")) {
            height = number;
        }
    }
    if (!x || !y || !width || !height) {
        return std::nullopt;
    }
    return QRect(*x, *y, *width, *height);
}

TProgramCopy::TProgramCopy(const QByteArray &settings)
{
    if (!Folder.isValid()) {
        return;
    }
    QFile::copy(QStringLiteral(TARVELLO_PROGRAM), Folder.filePath(QStringLiteral("Tarvello")));
    QFile file(Folder.filePath(QStringLiteral("Tarvello.INI")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(settings);
    }
    // No "File not found" box at the start.
    QFile(Folder.filePath(QStringLiteral("MidiStrings.txt"))).open(QIODevice::WriteOnly);
}

TProgramCopy::~TProgramCopy()
{
    if (Program.state() != QProcess::NotRunning) {
        Program.kill();
        Program.waitForFinished();
    }
}

bool TProgramCopy::Start(const QStringList &windows, const QStringList &wrapper)
{
    // Windows of a test before must be gone from the screen, or they would be
    // taken for the program's.
    const auto shown = [&windows] {
        const QStringList names = XWindowNamesOnScreen();
        return std::all_of(windows.begin(), windows.end(), [&names](const QString &start) {
            return std::any_of(names.begin(), names.end(),
                               [&start](const QString &name) { return name.startsWith(start); });
        });
    };
    const auto noneShown = [&windows] {
        const QStringList names = XWindowNamesOnScreen();
        return std::none_of(names.begin(), names.end(), [&windows](const QString &name) {
            return std::any_of(windows.begin(), windows.end(),
                               [&name](const QString &start) { return name.startsWith(start); });
        });
    };
    if (!QTest::qWaitFor(noneShown)) {
        return false;
    }
    Program.setProcessEnvironment(ProgramEnvironment());
    Program.setWorkingDirectory(Folder.path());
    Program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString program = Folder.filePath(QStringLiteral("Tarvello"));
    if (wrapper.isEmpty()) {
        Program.start(program, PlatformArguments);
    } else {
        Program.start(wrapper.front(), wrapper.mid(1) + QStringList{program} + PlatformArguments);
    }
    if (!Program.waitForStarted()) {
        return false;
    }
    const bool up =
        QTest::qWaitFor([&] { return shown() && CatchesTerm(Program.processId()); }, 30000);
    ShownNames = XWindowNamesOnScreen();
    return up;
}

void TProgramCopy::StartAnother(QProcess &process) const
{
    process.setProcessEnvironment(ProgramEnvironment());
    process.setWorkingDirectory(Folder.path());
    process.start(Folder.filePath(QStringLiteral("Tarvello")), PlatformArguments);
}

void TProgramCopy::Kill()
{
    Program.kill();
    Program.waitForFinished();
}

bool TProgramCopy::Stop()
{
    Program.terminate();
    const bool ended = Program.waitForFinished(30000);
    if (!ended) {
        Program.kill();
        Program.waitForFinished();
    }
    return ended && Program.exitStatus() == QProcess::NormalExit;
}

QByteArray TProgramCopy::Settings() const
{
    QFile file(Folder.filePath(QStringLiteral("Tarvello.INI")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace tarvello::test
