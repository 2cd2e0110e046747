#include "views/detail/GeneratingRecapStateView.h"

GeneratingRecapStateView::GeneratingRecapStateView(QWidget* parent)
    : NoticeCard(parent)
{
    setObjectName(QStringLiteral("generatingRecapStateView"));
    setSpinner();
    setHeadline(QStringLiteral("Generating Executive Recap..."), 15);
    setExplanation(QStringLiteral("Distilling key takeaways, decisions, and action items privately on this computer."),
                   12, 0, false);
}
