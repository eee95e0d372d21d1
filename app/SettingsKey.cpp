#include "app/SettingsKey.h"

#include "signal/NumberText.h"

SettingsKey::SettingsKey()
    : Settings(QSettings::NativeFormat, QSettings::UserScope, "Tolvek", "OrvanePlus") {}

int SettingsKey::ReadInteger(const QString& name, int fallback) const {
    const QVariant value = Settings.value(name);
    if (!value.isValid()) return fallback;
    return StrToIntDef(value.toString().toStdString(), fallback);
}

bool SettingsKey::ReadBool(const QString& name, bool fallback) const {
    return ReadInteger(name, fallback ? 1 : 0) != 0;
}

QString SettingsKey::ReadString(const QString& name, const QString& fallback) const {
    const QVariant value = Settings.value(name);
    return value.isValid() ? value.toString() : fallback;
}

void SettingsKey::WriteInteger(const QString& name, int value) {
    Settings.setValue(name, QString::number(value));
}

void SettingsKey::WriteBool(const QString& name, bool value) {
    Settings.setValue(name, value ? "1" : "0");
}

void SettingsKey::WriteString(const QString& name, const QString& value) {
    Settings.setValue(name, value);
}

void SettingsKey::Flush() {
    Settings.sync();
}

StorableBounds BoundsToStore(const QRect& window, const QSize& screen) {
    const int halfWidth = window.width() / 2;
    const int halfHeight = window.height() / 2;
    StorableBounds result;
    result.Left = -halfWidth < window.left() && window.left() < screen.width() - halfWidth;
    result.Top = 0 < window.top() && window.top() < screen.height() - halfHeight;
    result.Width = window.width() < screen.width();
    result.Height = window.height() < screen.height();
    return result;
}
