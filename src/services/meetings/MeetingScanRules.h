#pragma once

#include "common/Date.h"
#include "services/meetings/DetectedMeeting.h"
#include "services/meetings/MeetingWindow.h"
#include "services/meetings/RunningApplication.h"
#include "services/meetings/ScanResult.h"

#include <QList>
#include <QString>

#include <optional>

// How a call is recognised from window titles and running applications. Pure
// functions of their input: the detector supplies the lists and the time.
namespace MeetingScanRules {

// Applies one rule per meeting application to each window in order; the first
// window that gives a call ends the scan. Browser titles with an exit phrase
// seen on the way set the exit signal.
ScanResult scanWindowsForMeeting(const QList<MeetingWindow>& windows, Date now);

// A Google Meet call from a browser tab title, or nothing.
std::optional<DetectedMeeting> parseGoogleMeetWindow(const QString& title, const std::optional<QString>& bundleID,
                                                     Date now);

bool isBrowser(const QString& appName, const QString& bundleID);

// The first running Zoom, Teams, Webex or FaceTime application as a call
// without a window.
std::optional<DetectedMeeting> scanRunningAppsForMeeting(const QList<RunningApplication>& applications, Date now);

// Zoom's meeting host process runs only during a call.
bool isZoomMeetingEngineRunning(const QList<RunningApplication>& applications);

} // namespace MeetingScanRules
