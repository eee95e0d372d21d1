// What the playback module reports, turned into Qt signals. The module calls it from its playback
// thread (and from the user-interface thread for a start that fails at once); the window connects
// every signal queued, so that only its own thread touches widgets, and in the order of the calls.
#pragma once

#include "audio/PlaybackEvents.h"

#include <QObject>
#include <QString>

class PlaybackSignals final : public QObject, public PlaybackEvents {
    Q_OBJECT
public:
    using QObject::QObject;

    void PlaybackStatus(const std::string& text) override;
    void PlayButtonsUp() override;
    void PlayCursorShown(bool shown) override;
    void PlayCursorMoved(int32_t position, int32_t copySize) override;

signals:
    void StatusChanged(const QString& text);
    void ButtonsUp();
    void CursorShown(bool shown);
    void CursorMoved(int position, int copySize);
};
