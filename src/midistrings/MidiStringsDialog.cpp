#include "midistrings/MidiStringsDialog.h"

#include "midistrings/MidiStringText.h"

#include "widgets/Dialogs.h"

#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>

namespace tarvello {

namespace {

// The dialog's frame stands at 467, 226 and is 425 x 482 with a standard frame
// (4 px borders, a 26 px caption), which leaves this client area; the editor
// spans its full width.
constexpr int DialogLeft = 467;
constexpr int DialogTop = 226;
constexpr int ClientWidth = 417;
constexpr int ClientHeight = 448;
constexpr int EditorHeight = 313;

const QString Caption = QStringLiteral("Midi Output Strings - in Hex");

// The lines a question lists before it only counts the rest.
constexpr int ListedLines = 6;

// Colour value 8454143 (0x0080FFFF, laid out 0x00BBGGRR): light yellow.
const QColor HelpBackground(255, 255, 128);
// Lines that are not whole hex bytes, after OK.
const QColor MarkBackground(255, 170, 170);

QFont PixelFont(const QString &family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QString GarbledLinesQuestion(const QStringList &strings, const QList<int> &garbled)
{
    QString text = QStringLiteral("Not whole hex bytes (two digits each, blanks between):\n");
    for (int i = 0; i < garbled.size() && i < ListedLines; ++i) {
        text += QStringLiteral("\nLine %1:  %2").arg(garbled[i] + 1).arg(strings[garbled[i]]);
    }
    if (garbled.size() > ListedLines) {
        text += QStringLiteral("\n... and %1 more").arg(garbled.size() - ListedLines);
    }
    text += QStringLiteral("\n\nAs typed, these would go out garbled or not at all.\n"
                           "Keep them as comments, never sent? Choose No to correct them.");
    return text;
}

} // namespace

QStringList TfMidiStrings::HelpLines()
{
    return {
        QStringLiteral("Numbers must be 2 characters and in hex eg B2 07 93"),
        QStringLiteral("Each line is treated as a seperate message."),
        QStringLiteral(" - but in reality you can have multiple Midi messages on one line"),
        QStringLiteral("Except for spaces, if there are any non-hex characters in the line,"),
        QStringLiteral("  the line won't be sent, so you can write comments on their own line."),
    };
}

TfMidiStrings::TfMidiStrings(TDialogs &dialogs, QWidget *parent) : QDialog(parent), Dialogs(dialogs)
{
    setObjectName(QStringLiteral("fMidiStrings"));
    setWindowTitle(Caption);
    setFont(PixelFont(QStringLiteral("Tahoma"), 11));
    setModal(true);

    mMidiStringEdit = new QPlainTextEdit(this);
    mMidiStringEdit->setObjectName(QStringLiteral("mMidiStringEdit"));
    mMidiStringEdit->setFont(PixelFont(QStringLiteral("Arial"), 13));
    // Long strings scroll sideways: a wrapped line would look like two messages.
    mMidiStringEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    mMidiStringEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mMidiStringEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mMidiStringEdit->setTabChangesFocus(true);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(PixelFont(QStringLiteral("Tahoma"), 12));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(0, 320, 409, 89);
    QPalette helpPalette = Memo1->palette();
    helpPalette.setColor(QPalette::Base, HelpBackground);
    Memo1->setPalette(helpPalette);
    Memo1->setPlainText(HelpLines().join(QLatin1Char('\n')));

    bClear = new QPushButton(QStringLiteral("Clear"), this);
    bClear->setObjectName(QStringLiteral("bClear"));
    bClear->setGeometry(8, 416, 81, 25);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(208, 416, 89, 25);
    BitBtn1->setDefault(true);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(304, 416, 81, 25);

    connect(bClear, &QPushButton::clicked, this, &TfMidiStrings::bClearClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfMidiStrings::BitBtn1Click);
    // Escape rejects the dialog as this button does.
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // The frame may grow, but not so far down that OK and Cancel go out of reach.
    setMinimumSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight);
    move(DialogLeft, DialogTop);
    mMidiStringEdit->setGeometry(0, 0, ClientWidth, EditorHeight);
}

void TfMidiStrings::resizeEvent(QResizeEvent *event)
{
    // The editor is aligned to the top edge: it follows the width, its height stays.
    mMidiStringEdit->setGeometry(0, 0, event->size().width(), EditorHeight);
    QDialog::resizeEvent(event);
}

std::optional<QStringList> TfMidiStrings::EditStrings(const QStringList &strings, int slot)
{
    // One editing at a time: a second request while the dialog is open would
    // overwrite what the operator is typing.
    if (isVisible()) {
        return std::nullopt;
    }
    setWindowTitle(QStringLiteral("%1 - Slot %2").arg(Caption).arg(slot));
    MarkLines({});
    mMidiStringEdit->setPlainText(MidiStringsToEditorText(strings));
    mMidiStringEdit->moveCursor(QTextCursor::Start);
    mMidiStringEdit->setFocus();

    const bool accepted = exec() == QDialog::Accepted;
    std::optional<QStringList> result;
    if (accepted) {
        result = EditedStrings();
    }
    mMidiStringEdit->clear();
    MarkLines({});
    setWindowTitle(Caption);
    return result;
}

QStringList TfMidiStrings::EditedStrings() const
{
    return MidiStringsFromEditorText(mMidiStringEdit->toPlainText());
}

void TfMidiStrings::bClearClick()
{
    mMidiStringEdit->clear();
}

void TfMidiStrings::BitBtn1Click()
{
    const QStringList strings = EditedStrings();
    const QList<int> garbled = GarbledMidiStrings(strings);
    MarkLines(garbled);
    if (garbled.isEmpty()) {
        accept();
        return;
    }
    if (!Dialogs.AskYesNo(this, GarbledLinesQuestion(strings, garbled))) {
        // The first of them selected, to be typed over.
        const TTextSpan first = MidiStringLineSpans(mMidiStringEdit->toPlainText())[garbled[0]];
        QTextCursor cursor(mMidiStringEdit->document());
        cursor.setPosition(int(first.Start));
        cursor.setPosition(int(first.Start + first.Length), QTextCursor::KeepAnchor);
        mMidiStringEdit->setTextCursor(cursor);
        mMidiStringEdit->setFocus();
        return;
    }
    // From the last line up, so that the places of the others stay.
    const QList<TTextSpan> spans = MidiStringLineSpans(mMidiStringEdit->toPlainText());
    QTextCursor cursor(mMidiStringEdit->document());
    cursor.beginEditBlock();
    for (auto line = garbled.crbegin(); line != garbled.crend(); ++line) {
        cursor.setPosition(int(spans[*line].Start));
        cursor.insertText(MidiStringAsComment(QString()));
    }
    cursor.endEditBlock();
    MarkLines({});
    accept();
}

void TfMidiStrings::MarkLines(const QList<int> &lines)
{
    // The document's positions are those of its plain text: its separators
    // stand in for the line ends one for one.
    const QList<TTextSpan> spans = MidiStringLineSpans(mMidiStringEdit->toPlainText());
    QList<QTextEdit::ExtraSelection> marks;
    for (const int line : lines) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(mMidiStringEdit->document());
        mark.cursor.setPosition(int(spans[line].Start));
        mark.cursor.setPosition(int(spans[line].Start + spans[line].Length),
                                QTextCursor::KeepAnchor);
        mark.format.setBackground(MarkBackground);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    mMidiStringEdit->setExtraSelections(marks);
}

} // namespace tarvello
