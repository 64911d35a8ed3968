// Pictal: the application entry.
#include "Application.h"
#include "Form.h"

#include <QApplication>

int main(int argc, char** argv)
{
    SelectPlatformPlugin(argc, argv);
    QApplication qtApplication(argc, argv);
    InitializeDesktop();

    TApplication application;
    application.SetTitle("Pictal");

    TForm mainForm;
    mainForm.SetCaption("Pictal");
    mainForm.SetBounds(100, 100, 640, 480);
    application.SetMainForm(&mainForm);
    mainForm.show();
    return application.Run();
}
