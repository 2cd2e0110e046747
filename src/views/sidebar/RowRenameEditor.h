#pragma once

#include "views/sidebar/InlineRenameField.h"

#include <QPointer>
#include <QWidget>

class QHBoxLayout;

// A row's rename controls: the text field with Save and Cancel beside it; the
// list row's editor while a rename is open. A closed field reports nothing
// more, so a late save from it cannot apply its text to another recording;
// the editor closes its field when the list takes it away (it is hidden
// before it goes, and the focus leaving the field then would save it).
class RowRenameEditor : public QWidget {
    Q_OBJECT
public:
    explicit RowRenameEditor(QWidget* parent = nullptr);

    void open(const QString& text);
    void close();
    bool isOpen() const { return m_field; }
    void setText(const QString& text);
    InlineRenameField* field() const { return m_field; }

protected:
    void hideEvent(QHideEvent* event) override;

Q_SIGNALS:
    void textEdited(const QString& text);
    void commitRequested();
    void cancelRequested();

private:
    QHBoxLayout* m_layout;
    QPointer<InlineRenameField> m_field;
};
