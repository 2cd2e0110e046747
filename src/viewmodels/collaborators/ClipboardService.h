#pragma once

#include <QString>

// The desktop clipboard; implemented where a GUI exists.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Replaces whatever the clipboard held with plain text.
    virtual void setText(const QString& text) = 0;
};
