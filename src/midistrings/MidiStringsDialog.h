#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace tarvello {

class TDialogs;

// The modal editor for one slot's MIDI strings, plain text one string a line.
// Lines are kept as typed; on OK the lines that would go out garbled, or that
// look like a message but would not go out at all, are marked and the operator
// asked whether to keep them as comments or to correct them.
class TfMidiStrings : public QDialog {
    Q_OBJECT

public:
    // The question on OK goes through dialogs.
    explicit TfMidiStrings(TDialogs &dialogs, QWidget *parent = nullptr);

    // The five lines of the yellow help box, in order.
    static QStringList HelpLines();

    // Fills the editor with the strings of slot `slot`, which the caption
    // names, shows the dialog modally and gives back the edited strings when
    // the operator pressed OK; Cancel, Escape and the close box give nothing,
    // and nothing typed is kept for the next opening.
    std::optional<QStringList> EditStrings(const QStringList &strings, int slot);

    // The editor's text as strings, by the same rule OK applies.
    QStringList EditedStrings() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void bClearClick();
    // OK: accepts when every line is fine or the operator keeps the others
    // as comments; otherwise back to the editor with them marked.
    void BitBtn1Click();
    void MarkLines(const QList<int> &lines);

    TDialogs &Dialogs;

    QPlainTextEdit *mMidiStringEdit = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *bClear = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
};

} // namespace tarvello
