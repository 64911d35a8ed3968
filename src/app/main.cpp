// Pictal: the application entry.
#include "Application.h"
#include "Exception.h"
#include "Mainwindow1.h"
#include "Translation.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    SelectPlatformPlugin(argc, argv);
    QApplication qtApplication(argc, argv);
    InitializeDesktop();
    // English texts unless the system's language is Japanese.
    InstallTranslation();

    TApplication application;
    // An exception that escapes the start is shown like one from a handler.
    try {
        application.SetTitle("Pictal");
        auto mainForm = std::make_unique<TMainForm1>();
        application.SetMainForm(mainForm.get());
        mainForm->FormCreate();
        mainForm->show();
        application.Run();
        return 0;
    } catch (const Exception& error) {
        application.ShowException(error);
    } catch (...) {
        application.ShowException(Exception(""));
    }
    return 0;
}
