// orvane [FILE]: the main window; FILE, when given, is opened once the window is shown, exactly as if
// it had been dropped on the window.
#include "app/OrvaneApplication.h"
#include "app/TMainForm.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

int main(int argc, char** argv) {
    OrvaneApplication application(argc, argv);
    TMainForm MainForm;
    MainForm.show();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QUrl file = QUrl::fromLocalFile(QFileInfo(arguments.at(1)).absoluteFilePath());
        QTimer::singleShot(0, &MainForm, [&MainForm, file] { MainForm.FilesDropped({file}); });
    }
    return application.exec();
}
