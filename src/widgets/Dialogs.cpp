#include "widgets/Dialogs.h"

#include "core/ErrorText.h"
#include "core/TarvelloError.h"
#include "widgets/FontColourDialog.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

namespace tarvello {

TDialogs::~TDialogs() = default;

void TDialogs::ShowError(QWidget *parent, const QString &message)
{
    MessageBox(parent, ApplicationTitle(), ErrorBoxText(message), TMessageKind::Error,
               TMessageButton::Ok);
}

bool TDialogs::AskYesNo(QWidget *parent, const QString &text)
{
    return MessageBox(parent, ApplicationTitle(), text, TMessageKind::Confirmation,
                      TMessageButton::Yes | TMessageButton::No) == TMessageButton::Yes;
}

TMessageButton TDialogs::AskYesNoCancel(QWidget *parent, const QString &text)
{
    return MessageBox(parent, ApplicationTitle(), text, TMessageKind::Confirmation,
                      TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
}

TMessageButton EscapeAnswer(TMessageButtons buttons)
{
    if (buttons.testFlag(TMessageButton::Cancel)) {
        return TMessageButton::Cancel;
    }
    if (buttons.testFlag(TMessageButton::No)) {
        return TMessageButton::No;
    }
    return TMessageButton::Ok;
}

namespace {

void MoveCurrentDirectoryTo(const QString &fileName)
{
    QDir::setCurrent(QFileInfo(fileName).absolutePath());
}

} // namespace

TMessageButton TStandardDialogs::MessageBox(QWidget *parent, const QString &title,
                                            const QString &text, TMessageKind kind,
                                            TMessageButtons buttons)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case TMessageKind::Information:
        icon = QMessageBox::Information;
        break;
    case TMessageKind::Warning:
        icon = QMessageBox::Warning;
        break;
    case TMessageKind::Error:
        icon = QMessageBox::Critical;
        break;
    case TMessageKind::Confirmation:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox::StandardButtons standard;
    if (buttons.testFlag(TMessageButton::Ok) || buttons == TMessageButton::None) {
        standard |= QMessageBox::Ok;
    }
    if (buttons.testFlag(TMessageButton::Yes)) {
        standard |= QMessageBox::Yes;
    }
    if (buttons.testFlag(TMessageButton::No)) {
        standard |= QMessageBox::No;
    }
    if (buttons.testFlag(TMessageButton::Cancel)) {
        standard |= QMessageBox::Cancel;
    }
    QMessageBox box(icon, title, text, standard, parent);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return TMessageButton::Ok;
    case QMessageBox::Yes:
        return TMessageButton::Yes;
    case QMessageBox::No:
        return TMessageButton::No;
    case QMessageBox::Cancel:
        return TMessageButton::Cancel;
    default:
        return EscapeAnswer(buttons);
    }
}

std::optional<QString> TStandardDialogs::OpenFileName(QWidget *parent, const QString &caption,
                                                      const QString &directory,
                                                      const QString &filter)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, caption, directory, filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    MoveCurrentDirectoryTo(chosen);
    return chosen;
}

std::optional<QString> TStandardDialogs::SaveFileName(QWidget *parent, const QString &caption,
                                                      const QString &directory,
                                                      const QString &filter)
{
    const QString chosen = QFileDialog::getSaveFileName(parent, caption, directory, filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    MoveCurrentDirectoryTo(chosen);
    return chosen;
}

std::optional<TFontChoice> TStandardDialogs::ChooseFont(QWidget *parent, const TFontChoice &initial)
{
    TFontColourDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

std::optional<QColor> TStandardDialogs::ChooseColor(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return chosen;
}

} // namespace tarvello
