#include "app/PictureKeys.h"

#include <QKeyEvent>

PictureKeyCommand PictureKeyCommandFor(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers significant = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const bool ctrl = significant == Qt::ControlModifier;
    if (significant != Qt::NoModifier && !ctrl) return PictureKeyCommand::None;
    switch (key) {
    // "+" is Shift+"=" on many keyboards; "=" is taken as well, so that no Shift is needed.
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return ctrl ? PictureKeyCommand::ZoomInFrequency : PictureKeyCommand::ZoomInTime;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return ctrl ? PictureKeyCommand::ZoomOutFrequency : PictureKeyCommand::ZoomOutTime;
    default:
        break;
    }
    if (ctrl) return PictureKeyCommand::None;
    switch (key) {
    case Qt::Key_Left:
        return PictureKeyCommand::ScrollLeft;
    case Qt::Key_Right:
        return PictureKeyCommand::ScrollRight;
    case Qt::Key_Up:
        return PictureKeyCommand::ScrollUp;
    case Qt::Key_Down:
        return PictureKeyCommand::ScrollDown;
    case Qt::Key_0:
        return PictureKeyCommand::Fit;
    case Qt::Key_Escape:
        return PictureKeyCommand::ForgetPlayStart;
    default:
        return PictureKeyCommand::None;
    }
}

PictureKeys::PictureKeys(QObject* watched, std::function<bool(PictureKeyCommand)> handler)
    : QObject(watched), handler_(std::move(handler)) {
    watched->installEventFilter(this);
}

bool PictureKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const PictureKeyCommand command = PictureKeyCommandFor(key->key(), key->modifiers());
        if (command != PictureKeyCommand::None && handler_(command)) return true;
    }
    return QObject::eventFilter(watched, event);
}
