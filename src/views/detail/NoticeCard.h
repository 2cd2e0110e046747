#pragma once

#include "views/logic/ViewColor.h"

#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// A full-size, centred notice: a symbol or spinner on top, a headline, an
// explanation and room for one call to action, inset 32 on every side.
class NoticeCard : public QWidget {
    Q_OBJECT
public:
    explicit NoticeCard(QWidget* parent = nullptr);

    // The top element: a symbol at `size` in `tint`, or a spinner.
    void setSymbol(const QString& name, int size, const Tint& tint);
    void setSpinner();
    void setTop(QWidget* widget);
    // 32 on every side unless changed.
    void setInset(int inset);
    void setHeadline(const QString& text, int pixelSize, int weight = 600);
    // Lines centred and at most `maxWidth` wide unless `maxWidth` is 0.
    void setExplanation(const QString& text, int pixelSize, int maxWidth, bool centred = true);
    // Below the explanation; `spacingAbove` is added to the usual 16.
    void addAction(QWidget* action, int spacingAbove = 0);

    QLabel* headline() const { return m_headline; }
    QLabel* explanation() const { return m_explanation; }

private:
    QVBoxLayout* m_column;
    QWidget* m_top = nullptr;
    QLabel* m_headline;
    QLabel* m_explanation;
};
