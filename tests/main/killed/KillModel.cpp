#include "KillModel.h"

#include "KillEdits.h"

#include <QColor>

#include <cmath>

namespace tarvello::test::killed {
namespace {

QString LineId(int slot)
{
    return KeyId(QStringLiteral("Lines"), QStringLiteral("Text %1").arg(slot + 1));
}

QString FileId(int slot)
{
    return KeyId(QStringLiteral("Files"), QStringLiteral("Names %1").arg(slot + 1));
}

QString Id(const char *section, const char *key)
{
    return KeyId(QLatin1String(section), QLatin1String(key));
}

QList<QByteArray> BlockOf(const QStringList &strings)
{
    QList<QByteArray> block;
    for (const QString &string : strings) {
        block.append(string.toUtf8());
    }
    return block;
}

QString Number(int value)
{
    return QString::number(value);
}

// Collects an edit's change, keeping only what differs from the show before
// it.
class TChangeBuilder {
public:
    explicit TChangeBuilder(const TShowModel &model) : Model(model) {}

    void Set(const QString &id, const QString &value)
    {
        const QByteArray line = Model.LineWith(id, value);
        const auto old = Model.Settings.find(id);
        if (old == Model.Settings.end() || old->second != line) {
            Change.Settings[id] = line;
        } else {
            Change.Settings.erase(id);
        }
    }
    void SetBlock(int slot, const QList<QByteArray> &block)
    {
        if (Model.Blocks[size_t(slot)] != block) {
            Change.Blocks[slot] = block;
        } else {
            Change.Blocks.erase(slot);
        }
    }
    void SetColour(const QString &id, const QColor &colour)
    {
        Set(id, Number(colour.red() | (colour.green() << 8) | (colour.blue() << 16)));
    }

    const TShowModel &Model;
    TChange Change;
};

// Whether the display type shows text lines (else file references): the edit
// page it shows is the one the list edits are made on.
bool TextLines(const TShowModel &model)
{
    return model.Value(Id("Setting", "DisplayType")).toInt() != 1;
}

QString EntryId(const TShowModel &model, int slot)
{
    return TextLines(model) ? LineId(slot) : FileId(slot);
}

void CopyBlock(int n, TChangeBuilder &change)
{
    const TShowModel &model = change.Model;
    QStringList values;
    for (int slot = 0; slot < SlotCount; ++slot) {
        values.append(model.Value(EntryId(model, slot)));
    }
    TSlotBlocks blocks = model.Blocks;
    const int start =
        CopyStart(n, [&](int slot) { return !model.Value(EntryId(model, slot)).isEmpty(); });
    const int length = CopyLength(n);
    const int target = CopyTarget(n);
    if (CopyPushesDown(n)) {
        for (int slot = SlotCount - 1; slot >= target + length; --slot) {
            values[slot] = values[slot - length];
            blocks[size_t(slot)] = blocks[size_t(slot - length)];
        }
    }
    for (int i = 0; i < length; ++i) {
        values[target + i] = values[start + i];
        blocks[size_t(target + i)] = blocks[size_t(start + i)];
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        change.Set(EntryId(model, slot), values[slot]);
        change.SetBlock(slot, blocks[size_t(slot)]);
    }
}

void MoveRow(int n, TChangeBuilder &change)
{
    const TShowModel &model = change.Model;
    const int slot = MovedSlot(n, [&](int s) {
        return !model.Value(EntryId(model, s)).isEmpty() || !model.Blocks[size_t(s)].isEmpty();
    });
    const int neighbour = MovedUp(n) ? slot - 1 : slot + 1;
    change.Set(EntryId(model, slot), model.Value(EntryId(model, neighbour)));
    change.Set(EntryId(model, neighbour), model.Value(EntryId(model, slot)));
    change.SetBlock(slot, model.Blocks[size_t(neighbour)]);
    change.SetBlock(neighbour, model.Blocks[size_t(slot)]);
}

// Delete takes a text line alone, a file reference with its MIDI strings.
void Clear(int n, TChangeBuilder &change)
{
    if (ClearsMidiStrings(n)) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            change.SetBlock(slot, {});
        }
        return;
    }
    const TShowModel &model = change.Model;
    const int slot =
        ClearedSlot(n, [&](int s) { return !model.Value(EntryId(model, s)).isEmpty(); });
    change.Set(EntryId(change.Model, slot), QString());
    if (!TextLines(change.Model)) {
        change.SetBlock(slot, {});
    }
}

// A prompt list replaces the text lines; a file list the file references,
// and adds its MIDI strings to those the slots hold.
void OpenList(int n, TChangeBuilder &change)
{
    const bool lines = TextLines(change.Model);
    for (int slot = 0; slot < SlotCount; ++slot) {
        change.Set(EntryId(change.Model, slot), ListValue(n, slot, lines));
        change.SetBlock(slot, change.Model.Blocks[size_t(slot)] +
                                  BlockOf(ListMidiStrings(n, slot, lines)));
    }
}

void OtherDevice(const QString &id, const QString &first, const QString &second,
                 TChangeBuilder &change)
{
    change.Set(id, change.Model.Value(id) == first ? second : first);
}

void ChangeStageSetting(int n, TChangeBuilder &change)
{
    const auto toggle = [&change](const QString &id) {
        change.Set(id,
                   change.Model.Value(id).toInt() != 0 ? QStringLiteral("0") : QStringLiteral("1"));
    };
    const auto add = [&change](const QString &id, int step) {
        change.Set(id, Number(change.Model.Value(id).toInt() + step));
    };
    switch (StageVariant(n)) {
    case 0:
        toggle(Id("Stage", "PedalKeys"));
        break;
    case 1:
        toggle(Id("Stage", "PageTurnerContinues"));
        break;
    default:
        add(Id("Stage", "ReleaseWindow"), SpinStep);
        break;
    }
}

} // namespace

TChange ChangeOfEdit(int n, const TShowModel &model)
{
    TChangeBuilder change(model);
    const auto flip = [&](const QString &id) {
        change.Set(id, Number(1 - model.Value(id).toInt()));
    };
    switch (KindOfEdit(n)) {
    case TEditKind::Typed:
        change.Set(EntryId(model, TypedSlot(n)), TypedValue(n, TextLines(model)));
        break;
    case TEditKind::MidiStrings:
        change.SetBlock(MidiStringsSlot(n), BlockOf(MidiStringsOf(n)));
        break;
    case TEditKind::BlockCopy:
        CopyBlock(n, change);
        break;
    case TEditKind::Move:
        MoveRow(n, change);
        break;
    case TEditKind::Clear:
        Clear(n, change);
        break;
    case TEditKind::ListOpened:
        OpenList(n, change);
        break;
    case TEditKind::InputDevice:
        OtherDevice(Id("MidiDevices", "Input"), QStringLiteral("In A"), QStringLiteral("In B"),
                    change);
        break;
    case TEditKind::OutputDevice:
        OtherDevice(Id("MidiDevices", "Output"), QStringLiteral("Out A"), QStringLiteral("Out B"),
                    change);
        break;
    case TEditKind::Channel: {
        const int channel = model.Value(Id("MidiDevices", "Channel")).toInt();
        const int row = channel >= 1 && channel <= 16 ? channel - 1 : 0;
        change.Set(Id("MidiDevices", "Channel"), Number(ChannelRowAfter(n, row) + 1));
        break;
    }
    case TEditKind::Controller: {
        const int controller = model.Value(Id("MidiDevices", "Controller")).toInt();
        const int row = controller >= 0 && controller <= 127 ? controller : 0;
        change.Set(Id("MidiDevices", "Controller"), Number(ControllerRowAfter(n, row)));
        break;
    }
    case TEditKind::MessageType:
        flip(Id("Setting", "MidiMessage"));
        break;
    case TEditKind::DisplayType:
        flip(Id("Setting", "DisplayType"));
        break;
    case TEditKind::Font:
        change.Set(Id("Font", "Name"), FontFamily(n));
        change.Set(Id("Font", "Size"), Number(FontPoints(n)));
        change.Set(Id("Font", "Height"), Number(-int(std::lround(FontPoints(n) * 96.0 / 72))));
        change.SetColour(Id("Font", "Color"), FontColour(n));
        break;
    case TEditKind::Colour:
        change.SetColour(TextLines(model) ? Id("Display", "Colour") : Id("Display", "LyricColour"),
                         ChosenColour(n));
        break;
    case TEditKind::StageSetting:
        ChangeStageSetting(n, change);
        break;
    case TEditKind::WindowBounds:
        if (WindowMoved(n)) {
            change.Set(Id("Screen", "Left"), Number(WindowLeft(n)));
            change.Set(Id("Screen", "Top"), Number(WindowTop(n)));
        } else {
            change.Set(Id("Screen", "Width"), Number(WindowWidth(n)));
            change.Set(Id("Screen", "Height"), Number(WindowHeight(n)));
        }
        break;
    case TEditKind::NavPad:
        change.Set(Id("TouchPad", "Left"), Number(PadLeft(n)));
        change.Set(Id("TouchPad", "Top"), Number(PadTop(n)));
        break;
    }
    return change.Change;
}

} // namespace tarvello::test::killed
