#pragma once

#include "viewmodels/RecordingViewModel.h"

// The real collaborators of the view model, for whatever the caller left empty.
class RealCollaborators {
public:
    RealCollaborators() = delete;

    static void fillIn(RecordingViewModel::Collaborators& collaborators);
};
