// The repertoire: the shows a bank and program, the show controller, the
// Shows page or Ctrl+Page Down/Up open, and what follows a show opened.
#include "main/MainWindow.h"

#include "core/ErrorText.h"
#include "core/Version.h"
#include "files/IniFile.h"
#include "pages/SettingsPage.h"
#include "prompt/PromptEngine.h"
#include "prompt/ShowSaver.h"
#include "show/ShowBank.h"
#include "repertoire/ShowsWindow.h"
#include "show/ShowEdits.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorReporter.h"

#include <QDir>
#include <QFileInfo>

namespace tarvello {

void TfMain::connectShows()
{
    Bank = new TShowBank(*SlotShow, this);
    Bank->setObjectName(QStringLiteral("ShowBank"));
    Engine->SetShows(Bank);
    // The show left is on disk before the next one is read.
    connect(Engine, &TPromptEngine::ShowChanging, this, [this] {
        CommitListEdits();
        if (Saver && Saver->WritePending()) {
            Saver->WriteNow();
        }
    });
    connect(Engine, &TPromptEngine::ShowMissing, this, [this](int number) {
        ShowShowProblem(QStringLiteral("No show %1").arg(ShowNumberText(number, NumbersFromOne())));
    });
    connect(Engine, &TPromptEngine::ShowFailed, this,
            [this](const QString &text) { ShowShowProblem(text); });
    // Undo steps belong to the show they were made in.
    connect(Bank, &TShowBank::Opened, this, [this] { ShowEdits->Forget(); });
    connect(Bank, &TShowBank::ListChanged, this, [this] {
        ListShows();
        PublishShows();
        ChangeToSave();
    });

    connect(SettingsPage, &TSettingsPage::ShowsClicked, this, [this] {
        ListShows();
        ShowsWindow->ChooseShow(Bank->Current());
        ShowsWindow->show();
        ShowsWindow->raise();
        ShowsWindow->activateWindow();
    });
    connect(ShowsWindow, &TShowsWindow::OpenClicked, this,
            Guarded(*ErrorBox, [this](int number) { OpenShow(number); }));
    connect(ShowsWindow, &TShowsWindow::AddClicked, this,
            Guarded(*ErrorBox, [this](bool copyOpen) { AddShow(copyOpen); }));
    connect(ShowsWindow, &TShowsWindow::RemoveClicked, this,
            Guarded(*ErrorBox, [this](int number) { RemoveShow(number); }));
    // A refused name or number is reported, and the list shows what stands.
    connect(ShowsWindow, &TShowsWindow::RenameRequested, this,
            [this](int number, const QString &name) {
                QMetaObject::invokeMethod(
                    this,
                    [this, number, name] {
                        Guarded(*ErrorBox, [&] { Bank->Rename(number, name); })();
                        ListShows();
                    },
                    Qt::QueuedConnection);
            });
    connect(ShowsWindow, &TShowsWindow::RenumberRequested, this, [this](int number, int newNumber) {
        QMetaObject::invokeMethod(
            this,
            [this, number, newNumber] {
                Guarded(*ErrorBox, [&] { Bank->Renumber(number, newNumber); })();
                ListShows();
                ShowsWindow->ChooseShow(Bank->List().Has(newNumber) ? newNumber : number);
            },
            Qt::QueuedConnection);
    });
    ListShows();
}

void TfMain::ListShows()
{
    ShowsWindow->SetShows(Bank->List(), Bank->Current(), NumbersFromOne());
}

void TfMain::AddShow(bool copyOpen)
{
    CommitListEdits();
    const QString name = copyOpen ? QStringLiteral("Copy of ") + Bank->CurrentEntry().Name.trimmed()
                                  : QStringLiteral("New show");
    const int number = Bank->Add(name.trimmed(), copyOpen);
    ShowsWindow->ChooseShow(number);
}

void TfMain::RemoveShow(int number)
{
    const TShowEntry *entry = Bank->List().Find(number);
    if (!entry) {
        return;
    }
    const QString kept = QDir(Bank->FolderPath()).filePath(QStringLiteral("backups"));
    const TMessageButton answer = Dialogs.MessageBox(
        this, ApplicationTitle(),
        QStringLiteral("Remove %1? Its file is kept in %2.")
            .arg(ShowTitle(*entry, NumbersFromOne()), kept),
        TMessageKind::Warning, TMessageButton::Yes | TMessageButton::No);
    if (answer == TMessageButton::Yes) {
        Bank->Remove(number, kept);
    }
}

bool TfMain::NumbersFromOne() const
{
    return Engine->Options().NumbersFromOne;
}

void TfMain::ShowShowProblem(const QString &text)
{
    // Nothing else changes: the stage keeps what it shows, the caption says
    // why the show did not come.
    SetCaption(ProgramCaption() + QStringLiteral(" - ") + text);
}

void TfMain::OpenShow(int number)
{
    Engine->SelectInShow(number, 0, TSelectOrigin::Program);
}

void TfMain::StepShow(bool next)
{
    const int current = Bank->Current();
    const std::optional<int> other = next ? Bank->List().After(current) : Bank->List().Before(current);
    if (other) {
        OpenShow(*other);
    }
}

void TfMain::LoadShows()
{
    Bank->SetFolder(QFileInfo(SettingsFile->FileName()).absolutePath());
    QStringList errors;
    Bank->ReadList(*SettingsFile, errors);
    if (!errors.isEmpty()) {
        ErrorBox->Report(errors.join(u'\n'));
    }
    // The show that was open at the end of the last run, when it can be.
    const int stored = TShowList::StoredCurrent(*SettingsFile);
    if (stored != Bank->Current() && Bank->List().Has(stored)) {
        try {
            Bank->Open(stored);
        } catch (...) {
            ReportError(std::current_exception());
        }
    }
}

} // namespace tarvello
