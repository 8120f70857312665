#pragma once

#include "widgets/Dialogs.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

namespace tarvello {

// The font chooser of the prompt: the desktop's font panel with a colour field
// below it, since the prompt's text colour belongs to its font. The colour
// button opens the colour chooser.
class TFontColourDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFontColourDialog(const TFontChoice &initial, QWidget *parent = nullptr);

    TFontChoice Choice() const;
    void SetColour(const QColor &colour);

private:
    void ChooseColour();

    QFontDialog *FontPanel;
    QPushButton *ColourButton;
    QColor Colour;
};

} // namespace tarvello
