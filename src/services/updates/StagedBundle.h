#pragma once

#include <QString>

// Checks an unpacked update before it is offered: the bundle holds a program
// this computer can start as bin/nimbrel, and the staging folder holds only
// files, folders and links, each link leading inside its own tree when
// resolved as the kernel would, through other links too.
namespace StagedBundle {

// The reason the staged bundle may not be installed, or empty when it may.
// `bundle` lies directly in `stagingFolder`; links inside the bundle must stay
// inside the bundle, which is all that gets installed.
QString findProblem(const QString& stagingFolder, const QString& bundle);

} // namespace StagedBundle
