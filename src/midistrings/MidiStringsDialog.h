#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace tarvello {

// The modal editor for one slot's MIDI strings, plain text one string a line.
// It checks nothing: comments and lines that are not hex are kept as typed and
// only skipped when the strings are sent.
class TfMidiStrings : public QDialog {
    Q_OBJECT

public:
    explicit TfMidiStrings(QWidget *parent = nullptr);

    // The five lines of the yellow help box, in order.
    static QStringList HelpLines();

    // Fills the editor with the strings, shows the dialog modally and gives back
    // the edited strings when the operator pressed OK; Cancel, Escape and the
    // close box give nothing, and nothing typed is kept for the next opening.
    std::optional<QStringList> EditStrings(const QStringList &strings);

    // The editor's text as strings, by the same rule OK applies.
    QStringList EditedStrings() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void bClearClick();

    QPlainTextEdit *mMidiStringEdit = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *bClear = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
};

} // namespace tarvello
