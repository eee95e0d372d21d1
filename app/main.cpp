// orvane [FILE]: the main window; FILE, when given, is opened once the window is shown, exactly as if
// it had been dropped on the window. --help and --version print their text and end at once.
#include "app/CommandLine.h"
#include "app/OrvaneApplication.h"
#include "app/TMainForm.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (const auto text = InformationText(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    OrvaneApplication application(argc, argv);
    TMainForm MainForm;
    MainForm.show();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) MainForm.OpenOnceShown(arguments.at(1));
    return application.exec();
}
