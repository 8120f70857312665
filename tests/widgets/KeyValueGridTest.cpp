#include "widgets/KeyValueGrid.h"

#include "core/TarvelloError.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <set>

namespace tarvello {
namespace {

void Show(QWidget &widget)
{
    widget.resize(300, 400);
    widget.show();
    QApplication::processEvents();
}

void PressKey(QWidget *target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void TypeText(QWidget *target, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

void ClickAt(QWidget *target, QPoint at)
{
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// The editor open in the grid; closed editors linger until the event loop
// deletes them.
QLineEdit *EditorOf(const TKeyValueGrid &grid)
{
    for (QLineEdit *editor : grid.viewport()->findChildren<QLineEdit *>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

struct TClickCounter {
    explicit TClickCounter(TKeyValueGrid &grid)
    {
        QObject::connect(&grid, &TKeyValueGrid::Click, [this] { ++Count; });
    }
    int Count = 0;
};

TEST(KeyValueGrid, FreshGridHasTheSlotKeysAndEmptyValues)
{
    TKeyValueGrid grid;
    EXPECT_EQ(grid.LastRow(), 123);
    EXPECT_EQ(grid.model()->rowCount(), 123);
    for (int row = 1; row <= 123; ++row) {
        EXPECT_EQ(grid.Key(row), QString::number(row - 1));
        EXPECT_TRUE(grid.ValueOfRow(row).isEmpty());
    }
    EXPECT_EQ(grid.Row(), 1);
    // Neither the title row nor a row past the last key carries a key.
    EXPECT_THROW(grid.Key(0), TError);
    EXPECT_THROW(grid.Key(124), TError);
    EXPECT_THROW(grid.SetRow(0), TError);
    EXPECT_THROW(grid.SetRow(124), TError);

    grid.SetTitles(QStringLiteral("Key"), QStringLiteral("Line of text"));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Key"));
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Line of text"));
}

TEST(KeyValueGrid, ValuesAreFoundByKeyAndKeysCannotBeEdited)
{
    TKeyValueGrid grid;
    grid.SetValue(QStringLiteral("12"), QStringLiteral("Bridge"));
    EXPECT_EQ(grid.ValueOfRow(13), QStringLiteral("Bridge"));
    EXPECT_EQ(grid.Value(QStringLiteral("12")), QStringLiteral("Bridge"));
    EXPECT_TRUE(grid.Value(QStringLiteral("123")).isEmpty());
    EXPECT_THROW(grid.SetValue(QStringLiteral("123"), QStringLiteral("x")), TError);
    EXPECT_THROW(grid.SetValue(QStringLiteral("012"), QStringLiteral("x")), TError);

    QAbstractItemModel *model = grid.model();
    const QModelIndex key = model->index(12, 0);
    EXPECT_FALSE(model->flags(key).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model->setData(key, QStringLiteral("99")));
    EXPECT_EQ(grid.Key(13), QStringLiteral("12"));
    EXPECT_TRUE(model->flags(model->index(12, 1)).testFlag(Qt::ItemIsEditable));
}

TEST(KeyValueGrid, ClickIsRaisedForTheOperatorsSelectionsAndTheProgramsMoves)
{
    TKeyValueGrid grid;
    Show(grid);
    TClickCounter clicks(grid);

    grid.SetRow(1);
    EXPECT_EQ(clicks.Count, 0);
    grid.SetRow(8);
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_EQ(grid.Row(), 8);
    grid.SetRow(8);
    EXPECT_EQ(clicks.Count, 1);
    grid.SetRow(123);
    EXPECT_EQ(clicks.Count, 2);

    // The operator's own moves with the keyboard and the mouse.
    grid.setFocus();
    grid.SetRow(5);
    clicks.Count = 0;
    PressKey(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 6);
    EXPECT_EQ(clicks.Count, 1);
    const QRect cell = grid.visualRect(grid.model()->index(1, 0));
    ClickAt(grid.viewport(), cell.center());
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks.Count, 2);
    // A click on the row already current selects it again, on either cell.
    ClickAt(grid.viewport(), cell.center());
    EXPECT_EQ(clicks.Count, 3);
    ClickAt(grid.viewport(), grid.visualRect(grid.model()->index(1, 1)).center());
    EXPECT_EQ(clicks.Count, 4);
    EXPECT_EQ(grid.Row(), 2);
}

// Moved while out of sight (the show runs on another page), the cursor's row
// is in view as soon as the grid shows again.
TEST(KeyValueGrid, TheCursorRowIsInViewWhenTheGridShows)
{
    TKeyValueGrid grid;
    const auto inView = [&grid](int row) {
        const QRect cell = grid.visualRect(grid.model()->index(row - 1, 1));
        return grid.viewport()->rect().contains(cell.center());
    };
    Show(grid);
    grid.SetRow(100);
    EXPECT_TRUE(inView(100));
    grid.hide();
    grid.SetRow(3);
    grid.SetRow(120);
    grid.SetRow(2);
    Show(grid);
    EXPECT_TRUE(inView(2));
}

TEST(KeyValueGrid, TheCursorFollowsASelectionMadeElsewhereWithoutAClick)
{
    TKeyValueGrid grid;
    Show(grid);
    int clicks = 0;
    QObject::connect(&grid, &TKeyValueGrid::Click, [&] { ++clicks; });
    grid.FollowRow(9);
    EXPECT_EQ(grid.Row(), 9);
    EXPECT_EQ(clicks, 0);
    EXPECT_THROW(grid.FollowRow(124), TError);

    // The operator's moves and the program's SetRow still click.
    grid.setFocus();
    PressKey(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 10);
    grid.SetRow(1);
    EXPECT_EQ(clicks, 2);
}

TEST(KeyValueGrid, ATypedValueReachesTheGridOnlyWhenCommitted)
{
    TKeyValueGrid grid;
    Show(grid);
    grid.activateWindow();
    grid.setFocus();
    grid.SetValueOfRow(3, QStringLiteral("song.pdf"));
    const auto editorOf = [&grid] { return EditorOf(grid); };

    // One stray key and Escape: the entry is as it was.
    ClickAt(grid.viewport(), grid.visualRect(grid.model()->index(2, 1)).center());
    ASSERT_NE(editorOf(), nullptr);
    TypeText(editorOf(), QStringLiteral("x"));
    EXPECT_EQ(grid.model()->index(2, 1).data().toString(), QStringLiteral("song.pdf"));
    PressKey(editorOf(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(grid.ValueOfRow(3), QStringLiteral("song.pdf"));
    // Up, Space, Escape leaves an empty entry empty.
    grid.setFocus();
    PressKey(&grid, Qt::Key_Up);
    ASSERT_NE(editorOf(), nullptr);
    TypeText(editorOf(), QStringLiteral(" "));
    PressKey(editorOf(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(grid.ValueOfRow(2), QString());

    // Enter commits; the operator replaces an entry by selecting it first.
    grid.setFocus();
    PressKey(&grid, Qt::Key_Down);
    editorOf()->selectAll();
    TypeText(editorOf(), QStringLiteral("Intro"));
    PressKey(editorOf(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid.ValueOfRow(3), QStringLiteral("Intro"));
    // A command reading the grid takes the edit under way first.
    grid.setFocus();
    PressKey(&grid, Qt::Key_Down);
    TypeText(editorOf(), QStringLiteral("Outro"));
    EXPECT_EQ(grid.Value(QStringLiteral("3")), QStringLiteral("Outro"));
    QApplication::processEvents();
    EXPECT_EQ(editorOf(), nullptr);
    // A command writing the grid is not undone by an editor closing later.
    grid.setFocus();
    PressKey(&grid, Qt::Key_Down);
    TypeText(editorOf(), QStringLiteral("typed"));
    grid.SetValueOfRow(5, QStringLiteral("browsed.pdf"));
    grid.clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(grid.ValueOfRow(5), QStringLiteral("browsed.pdf"));
}

// However it opens, the editor puts the caret after the text: a stray key
// (a pedal's Space) adds to the entry instead of replacing it.
TEST(KeyValueGrid, TheEditorOpensWithTheCaretAfterTheText)
{
    TKeyValueGrid grid;
    Show(grid);
    grid.activateWindow();
    grid.setFocus();
    grid.SetValueOfRow(3, QStringLiteral("Intro"));
    const auto expectCaretAtEnd = [&grid](const char *how) {
        QLineEdit *editor = EditorOf(grid);
        ASSERT_NE(editor, nullptr) << how;
        EXPECT_FALSE(editor->hasSelectedText()) << how;
        EXPECT_EQ(editor->cursorPosition(), editor->text().size()) << how;
    };

    ClickAt(grid.viewport(), grid.visualRect(grid.model()->index(2, 1)).center());
    expectCaretAtEnd("click");
    TypeText(EditorOf(grid), QStringLiteral(" "));
    PressKey(EditorOf(grid), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid.ValueOfRow(3), QStringLiteral("Intro "));

    grid.setFocus();
    PressKey(&grid, Qt::Key_F2);
    expectCaretAtEnd("F2");
    PressKey(EditorOf(grid), Qt::Key_Escape);
    QApplication::processEvents();

    // A typed key opens the editor and goes after the text.
    grid.setFocus();
    TypeText(&grid, QStringLiteral("x"));
    expectCaretAtEnd("typing");
    EXPECT_EQ(EditorOf(grid)->text(), QStringLiteral("Intro x"));
}

// Counts the pure red pixels on the outline of a key cell.
int RedFramePixels(TKeyValueGrid &grid, int row)
{
    const QImage image = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(grid.model()->index(row - 1, 0));
    int red = 0;
    for (int x = cell.left(); x <= cell.right(); ++x) {
        red += image.pixelColor(x, cell.top()) == QColor(Qt::red);
        red += image.pixelColor(x, cell.bottom()) == QColor(Qt::red);
    }
    return red;
}

TEST(KeyValueGrid, KeyCellsOfMarkedRowsGetARedFrame)
{
    TKeyValueGrid grid;
    grid.resize(300, 400);
    std::set<int> marked{3};
    grid.SetMarkedRowPredicate([&marked](int row) { return marked.count(row) > 0; });
    Show(grid);

    EXPECT_GT(RedFramePixels(grid, 3), 20);
    EXPECT_EQ(RedFramePixels(grid, 4), 0);
    // The value cell of a marked row stays unframed.
    const QImage image = grid.viewport()->grab().toImage();
    const QRect value = grid.visualRect(grid.model()->index(2, 1));
    EXPECT_NE(image.pixelColor(value.center().x(), value.top()), QColor(Qt::red));

    marked.clear();
    grid.viewport()->update();
    EXPECT_EQ(RedFramePixels(grid, 3), 0);
}

} // namespace
} // namespace tarvello
