#pragma once

#include "common/Date.h"

#include <QMetaType>
#include <QString>

#include <optional>

// A call found in another application, offered for recording.
struct DetectedMeeting {
    QString appName; // "Zoom", "Microsoft Teams", "Google Meet", ...
    std::optional<QString> meetingDetail; // name or code from the title; may be empty
    std::optional<QString> windowTitle; // absent when found from the running applications
    std::optional<QString> ownerBundleID; // empty when the window has no owning application
    Date detectedAt;

    // appName, detail and title joined with no separator.
    QString id() const;
    // "<app> - <detail>", or "<app> Call" without a (non-empty) detail. Names the
    // recording and keys the cooldowns.
    QString suggestedRecordingTitle() const;

    friend bool operator==(const DetectedMeeting&, const DetectedMeeting&) = default;
};

Q_DECLARE_METATYPE(DetectedMeeting)
