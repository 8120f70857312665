#include "Application.h"

#include "common/Dialogs.h"
#include "main/MainWindow.h"
#include "main/StartupEnvironment.h"

#if __has_include("pdfviewer/BuiltInPdfControl.h")
#include "pdfviewer/BuiltInPdfControl.h"
#define TARVELLO_HAS_BUILT_IN_PDF_CONTROL 1
#endif

// The command line is not read: a show is set up in the program itself.
int main(int argc, char **argv)
{
    tarvello::PrepareProcessEnvironment();
    tarvello::TStandardDialogs dialogs;
    tarvello::TApplication application(argc, argv, dialogs);
#ifdef TARVELLO_HAS_BUILT_IN_PDF_CONTROL
    tarvello::RegisterBuiltInPdfControl();
#endif
    tarvello::TfMain window(dialogs);
    window.StartEmptyShow();
    window.show();
    return application.exec();
}
