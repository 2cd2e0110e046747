#pragma once

#include "viewmodels/collaborators/ClipboardService.h"

#include <QStringList>

class FakeClipboard : public ClipboardService {
public:
    void setText(const QString& text) override { texts.append(text); }
    QStringList texts;
};
