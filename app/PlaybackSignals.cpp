#include "app/PlaybackSignals.h"

void PlaybackSignals::PlaybackStatus(const std::string& text) {
    emit StatusChanged(QString::fromStdString(text));
}

void PlaybackSignals::PlayButtonsUp() {
    emit ButtonsUp();
}

void PlaybackSignals::PlayCursorShown(bool shown) {
    emit CursorShown(shown);
}

void PlaybackSignals::PlayCursorMoved(int32_t position, int32_t copySize) {
    emit CursorMoved(position, copySize);
}
