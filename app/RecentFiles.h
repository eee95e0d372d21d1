// The files opened last, newest first, as File > "Recent" lists them: at most ten, each once, kept in
// the settings under "RecentFiles" (one path a line) from the moment they change.
#pragma once

#include <QString>
#include <QStringList>

class SettingsKey;

class RecentFiles {
public:
    static constexpr int kMostFiles = 10;
    static inline const QString kSettingName = QStringLiteral("RecentFiles");

    // Reads the list kept in `settings`, which must outlive this object.
    explicit RecentFiles(SettingsKey& settings);

    const QStringList& Files() const { return files_; }
    // `path` (made absolute) goes to the top; the oldest beyond ten drops off.
    void Add(const QString& path);
    void Remove(const QString& path);
    void Clear();

private:
    void Keep();

    SettingsKey& settings_;
    QStringList files_;
};
