// The keys of the picture while it has the focus: arrows scroll, + and - zoom the time axis about the
// view's centre (with Ctrl the frequency axis), 0 fits the whole picture, Esc forgets where playback
// would start. The view's own handling of these keys (its scroll bars' steps) is replaced.
#pragma once

#include <QObject>

#include <functional>

enum class PictureKeyCommand {
    None,
    ScrollLeft,
    ScrollRight,
    ScrollUp,
    ScrollDown,
    ZoomInTime,
    ZoomOutTime,
    ZoomInFrequency,
    ZoomOutFrequency,
    Fit,
    ForgetPlayStart,
};

// The command of a key with its modifiers (the keypad's count as the main keys').
PictureKeyCommand PictureKeyCommandFor(int key, Qt::KeyboardModifiers modifiers);

// Watches one widget's key presses and hands each command to `handler`; a key the handler takes
// (returns true for) goes no further.
class PictureKeys : public QObject {
    Q_OBJECT
public:
    PictureKeys(QObject* watched, std::function<bool(PictureKeyCommand)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(PictureKeyCommand)> handler_;
};
