// The per-user settings of the window: QSettings under "Tolvek"/"OrvanePlus", every value a string.
#pragma once

#include <QRect>
#include <QSettings>
#include <QSize>
#include <QString>

class SettingsKey {
public:
    SettingsKey();

    // A missing value, or a text that is not a decimal integer, yields the default.
    int ReadInteger(const QString& name, int fallback) const;
    // An integer with default 1 or 0; true when it is not 0.
    bool ReadBool(const QString& name, bool fallback) const;
    // A missing value yields the default.
    QString ReadString(const QString& name, const QString& fallback) const;

    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value); // "1" or "0"
    void WriteString(const QString& name, const QString& value);

    // Writes pending values to the store (the settings file on Linux).
    void Flush();

private:
    QSettings Settings;
};

// Which of the window's bounds may be stored at close. A bound is written only while the window lies
// mostly on the screen, so that a window dragged off the screen comes back where it was before.
struct StorableBounds {
    bool Left = false;   // -W/2 < L < SW - W/2
    bool Top = false;    // 0 < T < SH - H/2
    bool Width = false;  // W < SW
    bool Height = false; // H < SH
};

StorableBounds BoundsToStore(const QRect& window, const QSize& screen);

// The bounds a window comes up with from stored ones. A stored bound that a close could not have
// written (see BoundsToStore: a window mostly off the screen, or not smaller than it) comes from
// another screen or a damaged store and gives way to its default, so the window always opens on the
// screen; a size below `minimum` grows to it. Without a screen the defaults are used.
QRect RestorableBounds(const QRect& defaults, int left, int top, int width, int height, const QSize& minimum,
                       const QSize& screen);
