// The window tests run on Qt's offscreen platform with one 1280 x 1024 screen, and with the settings
// in a temporary folder.
#include "app/OrvaneApplication.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    const QString screens = folder.filePath("screens.json");
    QFile config(screens);
    if (!config.open(QIODevice::WriteOnly)) return 2;
    config.write(R"({"screens": [{"name": "Test", "x": 0, "y": 0, "width": 1280, "height": 1024,
                                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();

    std::vector<std::string> arguments(argv, argv + argc);
    arguments.push_back("-platform");
    arguments.push_back("offscreen:configfile=" + screens.toStdString());
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    int count = int(pointers.size());
    pointers.push_back(nullptr);

    OrvaneApplication application(count, pointers.data());
    ::testing::InitGoogleTest(&count, pointers.data());
    return RUN_ALL_TESTS();
}
