#include "views/detail/EmptyWaveformView.h"

EmptyWaveformView::EmptyWaveformView(QWidget* parent)
    : PlaceholderView(QStringLiteral("mic.badge.plus"), 48, QStringLiteral("Ready to Record"),
                      QStringLiteral("Select your desired sources above and click Record to start."), parent)
{
    setObjectName(QStringLiteral("emptyWaveformView"));
}
