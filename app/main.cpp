// orvane [FILE]: the main window; FILE, when given, is opened once the window is shown, exactly as if
// it had been dropped on the window.
#include "app/OrvaneApplication.h"
#include "app/TMainForm.h"

int main(int argc, char** argv) {
    OrvaneApplication application(argc, argv);
    TMainForm MainForm;
    MainForm.show();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) MainForm.OpenOnceShown(arguments.at(1));
    return application.exec();
}
