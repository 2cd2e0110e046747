#pragma once

#include <QWidget>

class PlainButton;
class QLineEdit;

// The search field at the top of the library column, with its clear button.
class SearchBox : public QWidget {
    Q_OBJECT
public:
    explicit SearchBox(QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    PlainButton* clearButton() const { return m_clear; }
    // Keeps what the user types when the text is already the same.
    void setText(const QString& text);

Q_SIGNALS:
    void textEdited(const QString& text);
    void cleared();
    void submitted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_field;
    PlainButton* m_clear;
};
