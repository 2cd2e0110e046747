#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The fixed names the meeting rules look for. Identifiers are the platform-
// neutral application identifiers that platform/proc/AppIdentityTable maps
// Linux executables, window classes and app ids onto.
namespace MeetingTables {

// Applications whose microphone use confirms a call that has no owner.
const QSet<QString>& supportedMeetingBundleIDs();
// Lower-case phrases, Italian and English, that show the user left a call or
// has not joined it yet.
const QStringList& meetingExitPhrases();
const QSet<QString>& supportedBrowserBundleIDs();
const QStringList& supportedBrowserNames();
// Lower-case titles of Zoom windows that are not meetings.
const QSet<QString>& zoomNonMeetingTitles();
// " - Google Chrome" and the like, with em dash, en dash and hyphen.
const QStringList& browserTitleSuffixes();
const QStringList& meetTitlePrefixes();
const QStringList& meetTitleSuffixes();
// Three letters, four, three, joined by hyphens: a Google Meet code.
QString meetingCodePattern();

} // namespace MeetingTables
