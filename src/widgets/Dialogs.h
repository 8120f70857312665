#pragma once

#include "core/ErrorText.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

namespace tarvello {

enum class TMessageKind { Information, Warning, Error, Confirmation };

enum class TMessageButton { None = 0x0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
Q_DECLARE_FLAGS(TMessageButtons, TMessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMessageButtons)

// A font with the colour its text is drawn in, as the font chooser gives them.
struct TFontChoice {
    QFont Font;
    QColor Colour;
};

// Every message box, question and file, font or colour chooser of the program
// goes through this one interface, so that a test can script the operator's
// answers. A cancelled chooser gives no value.
class TDialogs {
public:
    virtual ~TDialogs();

    // Returns the button the operator pressed; closing the box without a
    // button counts as Cancel when offered, otherwise No, otherwise Ok.
    virtual TMessageButton MessageBox(QWidget *parent, const QString &title, const QString &text,
                                      TMessageKind kind, TMessageButtons buttons) = 0;
    virtual std::optional<QString> OpenFileName(QWidget *parent, const QString &caption,
                                                const QString &directory,
                                                const QString &filter) = 0;
    virtual std::optional<QString> SaveFileName(QWidget *parent, const QString &caption,
                                                const QString &directory,
                                                const QString &filter) = 0;
    virtual std::optional<TFontChoice> ChooseFont(QWidget *parent, const TFontChoice &initial) = 0;
    virtual std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) = 0;

    // The error box: the program's title, the error icon, and the message with
    // a full stop added where it lacks one.
    void ShowError(QWidget *parent, const QString &message);
    // Only Yes acts, so every other answer gives false.
    bool AskYesNo(QWidget *parent, const QString &text);
    TMessageButton AskYesNoCancel(QWidget *parent, const QString &text);
};

// The answer given when a box is closed without pressing one of its buttons.
TMessageButton EscapeAnswer(TMessageButtons buttons);

// The desktop's own boxes and choosers. The open and save choosers make the
// chosen file's folder the current directory, which relative names in the
// show are resolved against.
class TStandardDialogs : public TDialogs {
public:
    TMessageButton MessageBox(QWidget *parent, const QString &title, const QString &text,
                              TMessageKind kind, TMessageButtons buttons) override;
    std::optional<QString> OpenFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override;
    std::optional<QString> SaveFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter) override;
    std::optional<TFontChoice> ChooseFont(QWidget *parent, const TFontChoice &initial) override;
    std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) override;
};

} // namespace tarvello
