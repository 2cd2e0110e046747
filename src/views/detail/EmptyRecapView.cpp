#include "views/detail/EmptyRecapView.h"

EmptyRecapView::EmptyRecapView(QWidget* parent)
    : PlaceholderView(QStringLiteral("text.badge.checkmark"), 44, QStringLiteral("No Recording Selected"),
                      QStringLiteral("Select a recording on the left to view its executive recap."), parent)
{
    setObjectName(QStringLiteral("emptyRecapView"));
}
