#include "app/RecentFiles.h"

#include "app/SettingsKey.h"

#include <QFileInfo>

namespace {

// One path a line: a name with a line break in it is not kept.
constexpr QChar kSeparator = u'\n';

} // namespace

RecentFiles::RecentFiles(SettingsKey& settings) : settings_(settings) {
    for (const QString& path :
         settings_.ReadString(kSettingName, QString()).split(kSeparator, Qt::SkipEmptyParts))
        if (!files_.contains(path) && files_.size() < kMostFiles) files_.append(path);
}

void RecentFiles::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.isEmpty() || absolute.contains(kSeparator)) return;
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kMostFiles) files_.removeLast();
    Keep();
}

void RecentFiles::Remove(const QString& path) {
    if (files_.removeAll(path) > 0) Keep();
}

void RecentFiles::Clear() {
    files_.clear();
    Keep();
}

void RecentFiles::Keep() {
    settings_.WriteString(kSettingName, files_.join(kSeparator));
    settings_.Flush();
}
