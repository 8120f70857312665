#include "midistrings/MidiStringsDialog.h"
#include "midistrings/MidiStringText.h"
#include "support/FakeDialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace tarvello {
namespace {

QPlainTextEdit *Editor(TfMidiStrings &dialog)
{
    return dialog.findChild<QPlainTextEdit *>(QStringLiteral("mMidiStringEdit"));
}

QPushButton *Button(TfMidiStrings &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QString::fromLatin1(name));
}

// Opens the dialog for `strings` and lets `operate` act on it once it is shown,
// as the operator would. A watchdog rejects a dialog that is still open after
// ten seconds, so that a faulty step fails the test instead of hanging it.
std::optional<QStringList> RunEditor(TfMidiStrings &dialog, const QStringList &strings,
                                     const std::function<void()> &operate, int slot = 0)
{
    QTimer::singleShot(0, &dialog, [&dialog, operate] {
        EXPECT_TRUE(dialog.isVisible());
        operate();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] {
        ADD_FAILURE() << "the dialog was still open";
        dialog.reject();
    });
    watchdog.start(10000);
    return dialog.EditStrings(strings, slot);
}

TEST(MidiStringText, EditorLinesBecomeStrings)
{
    EXPECT_EQ(MidiStringsFromEditorText(QString()), QStringList());
    EXPECT_EQ(MidiStringsFromEditorText("\n"), QStringList{QString()});
    EXPECT_EQ(MidiStringsFromEditorText("C0 05"), QStringList{"C0 05"});
    EXPECT_EQ(MidiStringsFromEditorText("C0 05\n"), QStringList{"C0 05"});
    // Empty lines inside are kept, only the one after the last break goes.
    EXPECT_EQ(MidiStringsFromEditorText("C0 05\n\nB0 07 64\n\n"),
              (QStringList{"C0 05", "", "B0 07 64", ""}));
    EXPECT_EQ(MidiStringsFromEditorText("\n\n"), (QStringList{"", ""}));
    // Lines are stored as typed: blanks, comments and tabs stay.
    EXPECT_EQ(MidiStringsFromEditorText("  F0 7E 7F 09 01 F7 \nstrings on\tpart 2"),
              (QStringList{"  F0 7E 7F 09 01 F7 ", "strings on\tpart 2"}));
    // Text pasted from elsewhere may carry any of the line ends.
    EXPECT_EQ(MidiStringsFromEditorText(QStringLiteral("A\r\nB\rC\u2029D\u2028E\r\n")),
              (QStringList{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(MidiStringsFromEditorText("A\r\r\nB"), (QStringList{"A", "", "B"}));
}

TEST(MidiStringText, OpeningAndConfirmingLosesNothing)
{
    const QStringList cases[] = {
        {},           {QString()},
        {"C0 05"},    {"C0 05", ""},
        {"", "", ""}, {"# pads", "  B0 07 64", "", "C1 12"},
    };
    for (const QStringList &strings : cases) {
        EXPECT_EQ(MidiStringsFromEditorText(MidiStringsToEditorText(strings)), strings)
            << strings.join('|').toStdString();
    }
    EXPECT_EQ(MidiStringsToEditorText({}), QString());
    EXPECT_EQ(MidiStringsToEditorText({"C0 05", "B0 07 64"}), "C0 05\nB0 07 64\n");
}

TEST(MidiStringsDialog, LooksAsDesigned)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "Midi Output Strings - in Hex");
    EXPECT_EQ(dialog.font().family(), "Tahoma");
    EXPECT_EQ(dialog.font().pixelSize(), 11);
    EXPECT_EQ(dialog.pos(), QPoint(467, 226));
    EXPECT_EQ(dialog.size(), QSize(417, 448));

    QPlainTextEdit *editor = Editor(dialog);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->geometry(), QRect(0, 0, 417, 313));
    EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(editor->isReadOnly());
    EXPECT_EQ(editor->font().family(), "Arial");
    EXPECT_EQ(editor->font().pixelSize(), 13);

    auto *help = dialog.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isReadOnly());
    EXPECT_EQ(help->geometry(), QRect(0, 320, 409, 89));
    EXPECT_EQ(help->palette().color(QPalette::Base), QColor(255, 255, 128));
    EXPECT_EQ(help->font().family(), "Tahoma");
    EXPECT_EQ(help->font().pixelSize(), 12);
    const QStringList helpLines = {
        "Numbers must be 2 characters and in hex eg B2 07 93",
        "Each line is treated as a seperate message.",
        " - but in reality you can have multiple Midi messages on one line",
        "Except for spaces, if there are any non-hex characters in the line,",
        "  the line won't be sent, so you can write comments on their own line.",
    };
    EXPECT_EQ(help->toPlainText().split('\n'), helpLines);
    EXPECT_EQ(TfMidiStrings::HelpLines(), helpLines);

    struct TExpected {
        const char *Name;
        const char *Caption;
        QRect Bounds;
    };
    for (const TExpected &e : {TExpected{"bClear", "Clear", QRect(8, 416, 81, 25)},
                               TExpected{"BitBtn1", "OK", QRect(208, 416, 89, 25)},
                               TExpected{"BitBtn2", "Cancel", QRect(304, 416, 81, 25)}}) {
        QPushButton *button = Button(dialog, e.Name);
        ASSERT_NE(button, nullptr) << e.Name;
        EXPECT_EQ(button->text(), e.Caption);
        EXPECT_EQ(button->geometry(), e.Bounds) << e.Name;
    }
    EXPECT_TRUE(Button(dialog, "BitBtn1")->isDefault());
    EXPECT_FALSE(Button(dialog, "BitBtn1")->icon().isNull());
    EXPECT_FALSE(Button(dialog, "BitBtn2")->icon().isNull());

    // Made wider, the editor keeps the full width and its height.
    dialog.show();
    dialog.resize(600, 500);
    EXPECT_EQ(editor->geometry(), QRect(0, 0, 600, 313));
    // It cannot shrink so far that OK and Cancel are cut off.
    dialog.resize(200, 200);
    EXPECT_TRUE(dialog.rect().contains(Button(dialog, "BitBtn2")->geometry()));
    dialog.hide();
}

TEST(MidiStringsDialog, OkGivesBackTheEditedLines)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    const auto result = RunEditor(dialog, {"C0 05", "", "# strings"}, [&] {
        QPlainTextEdit *editor = Editor(dialog);
        EXPECT_EQ(editor->toPlainText(), "C0 05\n\n# strings\n");
        EXPECT_EQ(editor->textCursor().position(), 0);
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, "B0 07 64");
        QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, (QStringList{"C0 05", "", "# strings", "B0 07 64"}));

    // The typing of this opening is gone at the next.
    const auto unchanged = RunEditor(dialog, {}, [&] {
        EXPECT_EQ(Editor(dialog)->toPlainText(), QString());
        QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(unchanged.has_value());
    EXPECT_TRUE(unchanged->isEmpty()) << "an empty editor leaves the slot without strings";
}

TEST(MidiStringsDialog, CancelEscapeAndCloseBoxChangeNothing)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    const QStringList strings = {"C0 05"};

    EXPECT_FALSE(RunEditor(dialog, strings, [&] {
                     QTest::keyClicks(Editor(dialog), "F0 F7");
                     QTest::mouseClick(Button(dialog, "BitBtn2"), Qt::LeftButton);
                 }).has_value());

    // "Clear", then "Cancel": the slot keeps its strings.
    EXPECT_FALSE(RunEditor(dialog, strings, [&] {
                     QTest::mouseClick(Button(dialog, "bClear"), Qt::LeftButton);
                     EXPECT_EQ(Editor(dialog)->toPlainText(), QString());
                     QTest::mouseClick(Button(dialog, "BitBtn2"), Qt::LeftButton);
                 }).has_value());

    EXPECT_FALSE(RunEditor(dialog, strings, [&] {
                     QTest::keyClick(Editor(dialog), Qt::Key_Escape);
                 }).has_value());

    EXPECT_FALSE(RunEditor(dialog, strings, [&] { dialog.close(); }).has_value());
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MidiStringsDialog, ClearThenOkRemovesTheStrings)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    const auto result = RunEditor(dialog, {"C0 05", "B0 07 64"}, [&] {
        QTest::mouseClick(Button(dialog, "bClear"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->isEmpty());
}

TEST(MidiStringsDialog, ReturnInTheEditorIsALineBreakElsewhereOk)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    // A lone line break: the slot gets one empty string.
    const auto lone = RunEditor(dialog, {}, [&] {
        QTest::keyClick(Editor(dialog), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Return in the editor must not close the dialog";
        auto *help = dialog.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        help->setFocus();
        QTest::keyClick(help, Qt::Key_Return);
    });
    ASSERT_TRUE(lone.has_value());
    EXPECT_EQ(*lone, QStringList{QString()});
}

TEST(MidiStringsDialog, SecondOpeningWhileOpenIsRefused)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    const auto result = RunEditor(dialog, {"C0 05"}, [&] {
        EXPECT_FALSE(dialog.EditStrings({"B0 07 64"}, 1).has_value());
        EXPECT_EQ(Editor(dialog)->toPlainText(), "C0 05\n");
        QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, QStringList{"C0 05"});
}

TEST(MidiStringsDialog, OkMarksLinesThatAreNotWholeBytesAndKeepsThemAsCommentsOnlyOnYes)
{
    test::TFakeDialogs dialogs;
    TfMidiStrings dialog(dialogs);
    QStringList marked;
    dialogs.WhileOpen = [&] {
        marked.clear();
        for (const QTextEdit::ExtraSelection &mark : Editor(dialog)->extraSelections()) {
            marked << mark.cursor.selectedText();
        }
    };
    // Sent as written or plainly comments; then paired across a blank, a
    // digit dropped, or messages that would never go out.
    const QStringList fine = {"C0 05",           "F07E7F0601F7", "switch the organ",
                              "B2 07 93 volume", "# B1 7 64",    ""};
    const QStringList garbled = {"B1 7 64", "C1 3O", "ABC", "B2,07,93", "B0\t07\t64"};
    const QString typed = MidiStringsToEditorText(fine + garbled);
    const auto result = RunEditor(
        dialog, {"C0 05"},
        [&] {
            EXPECT_EQ(dialog.windowTitle(), "Midi Output Strings - in Hex - Slot 15");
            Editor(dialog)->setPlainText(typed);
            // No: back to the editor, the first of them selected.
            QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            ASSERT_EQ(dialogs.Records.size(), 1u);
            EXPECT_TRUE(dialogs.Records[0].Text.contains("Line 7:  B1 7 64"));
            EXPECT_TRUE(dialogs.Records[0].Text.contains("Line 8:  C1 3O"));
            EXPECT_EQ(marked, garbled);
            EXPECT_EQ(Editor(dialog)->textCursor().selectedText(), "B1 7 64");
            EXPECT_EQ(Editor(dialog)->toPlainText(), typed);
            // Yes: kept as comments.
            dialogs.Answers.push_back(TMessageButton::Yes);
            QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
        },
        15);
    ASSERT_TRUE(result.has_value());
    QStringList kept = fine;
    for (const QString &line : garbled) {
        kept << "# " + line;
    }
    EXPECT_EQ(*result, kept);
    EXPECT_EQ(dialog.windowTitle(), "Midi Output Strings - in Hex");

    // What is fine closes without a question.
    dialogs.Records.clear();
    const auto again = RunEditor(
        dialog, *result, [&] { Button(dialog, "BitBtn1")->click(); }, 16);
    EXPECT_EQ(again, result);
    EXPECT_TRUE(dialogs.Records.empty());
}

} // namespace
} // namespace tarvello
