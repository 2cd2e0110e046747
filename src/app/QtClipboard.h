#pragma once

#include "viewmodels/collaborators/ClipboardService.h"

// The desktop clipboard through Qt.
class QtClipboard : public ClipboardService {
public:
    void setText(const QString& text) override;
};
