#pragma once

#include "viewmodels/collaborators/FocusService.h"

class FakeFocus : public FocusService {
public:
    void releaseFocus() override { ++releases; }
    int releases = 0;
};
