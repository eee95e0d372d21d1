#include "app/SettingsKey.h"

#include "signal/NumberText.h"

#include <algorithm>
#include <cstdint>

SettingsKey::SettingsKey()
    : Settings(QSettings::NativeFormat, QSettings::UserScope, "Tolvek", "OrvanePlus") {}

int SettingsKey::ReadInteger(const QString& name, int fallback) const {
    const QVariant value = Settings.value(name);
    if (value.typeId() != QMetaType::QString) return fallback;
    return StrToIntDef(value.toString().toStdString(), fallback);
}

bool SettingsKey::ReadBool(const QString& name, bool fallback) const {
    return ReadInteger(name, fallback ? 1 : 0) != 0;
}

// Every value is written as text. A value of another kind (a list, a rectangle, raw bytes) was not
// written by this program and counts as missing.
QString SettingsKey::ReadString(const QString& name, const QString& fallback) const {
    const QVariant value = Settings.value(name);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
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

namespace {

// The rule of BoundsToStore on values that may lie far outside what a QRect can hold.
StorableBounds Storable(int64_t left, int64_t top, int64_t width, int64_t height, const QSize& screen) {
    const int64_t halfWidth = width / 2;
    const int64_t halfHeight = height / 2;
    StorableBounds result;
    result.Left = -halfWidth < left && left < screen.width() - halfWidth;
    result.Top = 0 < top && top < screen.height() - halfHeight;
    result.Width = width < screen.width();
    result.Height = height < screen.height();
    return result;
}

} // namespace

StorableBounds BoundsToStore(const QRect& window, const QSize& screen) {
    return Storable(window.left(), window.top(), window.width(), window.height(), screen);
}

QRect RestorableBounds(const QRect& defaults, int left, int top, int width, int height, const QSize& minimum,
                       const QSize& screen) {
    if (screen.isEmpty()) return defaults;
    const StorableBounds sizes = Storable(0, 0, width, height, screen);
    const int w = std::max(sizes.Width ? width : defaults.width(), minimum.width());
    const int h = std::max(sizes.Height ? height : defaults.height(), minimum.height());
    const StorableBounds place = Storable(left, top, w, h, screen);
    return QRect(place.Left ? left : defaults.left(), place.Top ? top : defaults.top(), w, h);
}
