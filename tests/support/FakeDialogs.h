#pragma once

#include "widgets/Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace tarvello::test {

// A scripted stand-in for the operator: records every box and chooser the
// program opens and gives the answers the test queued. With no answer queued a
// box is closed without a button and a chooser is cancelled.
class TFakeDialogs : public TDialogs {
public:
    enum class TCall { Message, OpenFile, SaveFile, Font, Colour };

    struct TRecord {
        TCall Call = TCall::Message;
        QString Title; // the box title or the chooser caption
        QString Text;  // the box text, or the chooser's starting folder
        QString Filter;
        TMessageKind Kind = TMessageKind::Information;
        TMessageButtons Buttons;
    };

    std::vector<TRecord> Records;
    std::deque<TMessageButton> Answers;
    std::deque<std::optional<QString>> FileAnswers;
    std::deque<std::optional<QFont>> FontAnswers;
    // The colour the font chooser gives with its font; the one it was opened
    // with when none is queued.
    std::deque<QColor> FontColourAnswers;
    std::deque<std::optional<QColor>> ColourAnswers;

    TMessageButton MessageBox(QWidget *parent, const QString &title, const QString &text,
                              TMessageKind kind, TMessageButtons buttons) override;
    std::optional<QString> OpenFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override;
    std::optional<QString> SaveFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override;
    std::optional<TFontChoice> ChooseFont(QWidget *parent, const TFontChoice &initial) override;
    std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) override;

    // Runs while a box or chooser is open, before it answers: what the MIDI
    // input does while the operator looks at a dialog.
    std::function<void()> WhileOpen;

    // The texts of the message boxes shown so far, in order.
    QStringList MessageTexts() const;

private:
    void RunWhileOpen();
};

} // namespace tarvello::test
