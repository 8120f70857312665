#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tarvello {

class TShowList;

// The "Shows" window, opened from the Settings page: every show of the
// repertoire by number, the open one in bold. The operator opens, adds, copies and removes shows with the buttons,
// and renames or renumbers one by editing its cell; the window carries the
// commands out and lists the shows again.
class TShowsWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own over `parent`, hidden until shown.
    explicit TShowsWindow(QWidget *parent = nullptr);

    // Lists the shows; numbers from 1 where the operator reads them so.
    void SetShows(const TShowList &shows, int open, bool fromOne);
    // The show of the row with the cursor, or -1.
    int ChosenShow() const;
    void ChooseShow(int number);

signals:
    void OpenClicked(int number);
    void AddClicked(bool copyOpen);
    void RemoveClicked(int number);
    void RenameRequested(int number, const QString &name);
    // `newNumber` as stored, whatever the operator reads.
    void RenumberRequested(int number, int newNumber);

private:
    void ItemEdited(QTableWidgetItem *item);

    QTableWidget *tvShows;
    QPushButton *bOpenShow;
    QPushButton *bAddShow;
    QPushButton *bCopyShow;
    QPushButton *bRemoveShow;
    QLabel *lShowsHelp;
    bool FromOne = false;
    // Filling the table is no edit of the operator's.
    bool Filling = false;
};

} // namespace tarvello
