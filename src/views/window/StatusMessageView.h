#pragma once

#include <QWidget>

class QLabel;
class QPropertyAnimation;

// The one-line status message floating near the top of the window: a warning
// or a check mark, then the text exactly as the view model set it.
class StatusMessageView : public QWidget {
    Q_OBJECT
public:
    explicit StatusMessageView(QWidget* parent = nullptr);

    // Empty hides the message.
    void setMessage(const QString& message);
    QString message() const { return m_message; }
    QString symbol() const { return m_symbol; }

    // Where the message rests, centred on this top edge of its parent.
    void placeAt(int top);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_message;
    QString m_symbol;
    int m_top = 0;
    QLabel* m_icon;
    QLabel* m_text;
    QPropertyAnimation* m_slide = nullptr;
};
