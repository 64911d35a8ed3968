// The gallery of the companion components.
#include "Application.h"
#include "GalleryWindow.h"
#include "Translation.h"

#include <QApplication>

int main(int argc, char** argv)
{
    SelectPlatformPlugin(argc, argv);
    QApplication qtApplication(argc, argv);
    InitializeDesktop();
    // English texts unless the system's language is Japanese.
    InstallTranslation();

    TApplication application;
    GalleryWindow window;
    window.show();
    return QApplication::exec();
}
