#include "views/sidebar/RecordingRowView.h"

#include "views/common/ActivitySpinner.h"
#include "views/common/ContextMenus.h"
#include "views/common/ElidedLabel.h"
#include "views/common/PlainButton.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

QWidget* progressBadge(const QString& text, ColorRole role, QWidget* parent)
{
    auto* badge = new QWidget(parent);
    auto* layout = new QHBoxLayout(badge);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* spinner = new ActivitySpinner(12, badge);
    spinner->setColor(Style::color(role));
    auto* label = new QLabel(text, badge);
    label->setTextFormat(Qt::PlainText);
    label->setFont(Style::font(10, TextWeight::semibold));
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(Style::color(role))));
    layout->addWidget(spinner);
    layout->addWidget(label);
    badge->setAttribute(Qt::WA_TransparentForMouseEvents);
    return badge;
}

ElidedLabel* secondaryLabel(const QFont& font, QWidget* parent)
{
    auto* label = new ElidedLabel(parent);
    label->setFont(font);
    label->setColor(Style::color(ColorRole::secondary));
    return label;
}

} // namespace

RecordingRowView::RecordingRowView(const RecordingItem& item, QWidget* parent)
    : QWidget(parent)
    , m_item(item)
{
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(8);

    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    row->addLayout(column, 1);

    m_title = new ElidedLabel(this);
    column->addWidget(m_title);

    m_editor = new RowRenameEditor(this);
    connect(m_editor, &RowRenameEditor::textEdited, this, &RecordingRowView::editingTextChanged);
    connect(m_editor, &RowRenameEditor::commitRequested, this, &RecordingRowView::commitEditingRequested);
    connect(m_editor, &RowRenameEditor::cancelRequested, this, &RecordingRowView::cancelEditingRequested);
    column->addWidget(m_editor);

    auto* details = new QHBoxLayout;
    details->setSpacing(6);
    m_date = secondaryLabel(Style::font(11), this);
    auto* bullet = new QLabel(QStringLiteral("•"), this);
    bullet->setFont(Style::font(9));
    bullet->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(Style::color(ColorRole::secondary, 0.6))));
    m_duration = secondaryLabel(Style::monospacedFont(11), this);
    m_duration->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_enhancedBadge = new QLabel(this);
    m_enhancedBadge->setPixmap(Icons::pixmap(QStringLiteral("sparkles"), 9, Style::color(ColorRole::purple),
                                             devicePixelRatioF()));
    m_enhancedBadge->setToolTip(QStringLiteral("Studio Enhanced Voice available"));
    m_transcribingBadge = progressBadge(QStringLiteral("Transcribing..."), ColorRole::accent, this);
    m_enhancingBadge = progressBadge(QStringLiteral("Enhancing..."), ColorRole::purple, this);
    details->addWidget(m_date);
    details->addWidget(bullet);
    details->addWidget(m_duration);
    details->addWidget(m_enhancedBadge);
    details->addWidget(m_transcribingBadge);
    details->addWidget(m_enhancingBadge);
    details->addStretch(1);
    column->addLayout(details);

    m_quoteLine = new QWidget(this);
    auto* quote = new QHBoxLayout(m_quoteLine);
    quote->setContentsMargins(0, 1, 0, 0);
    quote->setSpacing(4);
    auto* quoteIcon = new QLabel(m_quoteLine);
    quoteIcon->setPixmap(Icons::pixmap(QStringLiteral("text.quote"), 9, Style::color(ColorRole::secondary),
                                       devicePixelRatioF()));
    m_quote = secondaryLabel(Style::font(11), m_quoteLine);
    quote->addWidget(quoteIcon);
    quote->addWidget(m_quote, 1);
    m_quoteLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    column->addWidget(m_quoteLine);

    m_buttons = new QWidget(this);
    auto* buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    m_renameButton = new PlainButton(QStringLiteral("pencil"), 13, {ColorRole::secondary},
                                     QStringLiteral("Rename recording"), m_buttons);
    m_exportButton = new PlainButton(QStringLiteral("arrow.down.circle"), 14, {ColorRole::blue},
                                     QStringLiteral("Export MP3 to Downloads"), m_buttons);
    m_renameButton->setObjectName(QStringLiteral("renameButton"));
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    buttons->addWidget(m_renameButton);
    buttons->addWidget(m_exportButton);
    row->addWidget(m_buttons, 0, Qt::AlignVCenter);
    connect(m_renameButton, &QToolButton::clicked, this, &RecordingRowView::startEditingRequested);
    connect(m_exportButton, &QToolButton::clicked, this, &RecordingRowView::exportRequested);

    refreshSnippet();
    refresh();
}

void RecordingRowView::setItem(const RecordingItem& item)
{
    if (item == m_item)
        return;
    m_item = item;
    refreshSnippet();
    refresh();
}

void RecordingRowView::setFlags(const Flags& flags)
{
    const Flags current{m_state.isSelected, m_state.isTranscribing, m_state.isEnhancing, m_state.isPlayingEnhanced};
    if (flags == current)
        return;
    m_state.isSelected = flags.isSelected;
    m_state.isTranscribing = flags.isTranscribing;
    m_state.isEnhancing = flags.isEnhancing;
    m_state.isPlayingEnhanced = flags.isPlayingEnhanced;
    refresh();
}

void RecordingRowView::setSearchText(const QString& searchText)
{
    if (searchText == m_searchText)
        return;
    m_searchText = searchText;
    refreshSnippet();
    refresh();
}

void RecordingRowView::setEditing(bool editing, const QString& text)
{
    if (editing == m_state.isEditing)
        return;
    m_state.isEditing = editing;
    if (editing)
        m_editor->open(text);
    else
        m_editor->close();
    refresh();
}

void RecordingRowView::setEditingText(const QString& text)
{
    m_editor->setText(text);
}

QString RecordingRowView::snippetText() const
{
    return m_quoteLine->isHidden() ? QString() : m_quote->text();
}

void RecordingRowView::refreshSnippet()
{
    // Kept out of refresh(): it reads the whole transcript, and hovering and
    // the selection refresh the row far more often than its text changes.
    const auto snippet = RecordingRowRules::transcriptSnippet(m_item, m_searchText);
    m_quote->setText(snippet.value_or(QString()));
    m_quoteLine->setVisible(snippet.has_value());
}

void RecordingRowView::refresh()
{
    m_state.hasEnhancedFile = m_item.enhancedFileName.has_value();
    m_title->setText(m_item.title);
    m_title->setFont(Style::font(13, RecordingRowRules::titleWeight(m_state)));
    m_title->setVisible(!m_state.isEditing);
    m_editor->setVisible(m_state.isEditing);

    m_date->setText(m_item.formattedDate());
    m_duration->setText(m_item.formattedDuration());
    const auto badges = RecordingRowRules::badges(m_state);
    m_enhancedBadge->setVisible(badges.contains(RecordingRowRules::Badge::enhancedAvailable));
    m_transcribingBadge->setVisible(badges.contains(RecordingRowRules::Badge::transcribing));
    m_enhancingBadge->setVisible(badges.contains(RecordingRowRules::Badge::enhancing));

    m_buttons->setVisible(RecordingRowRules::showsRowButtons(m_state));
    m_renameButton->setOpacity(RecordingRowRules::renameButtonOpacity(m_state));
    m_exportButton->setOpacity(RecordingRowRules::exportButtonOpacity(m_state));

    update();
}

void RecordingRowView::paintEvent(QPaintEvent*)
{
    const QColor fill = Style::color(RecordingRowRules::fill(m_state));
    if (fill.alpha() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    painter.fillPath(shape, fill);
}

void RecordingRowView::mousePressEvent(QMouseEvent* event)
{
    // Taken here so the list never changes the selection on its own.
    event->accept();
    if (event->button() == Qt::LeftButton && RecordingRowRules::clickSelects(m_state))
        Q_EMIT selectRequested();
}

void RecordingRowView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && RecordingRowRules::doubleClickRenames(m_state))
        Q_EMIT startEditingRequested();
}

void RecordingRowView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    populateContextMenu(menu);
    menu.exec(event->globalPos());
}

void RecordingRowView::populateContextMenu(QMenu& menu)
{
    for (const auto& entry : RecordingRowRules::contextMenu(m_state)) {
        QAction* action = ContextMenus::addEntry(menu, entry);
        const auto kind = entry.action;
        connect(action, &QAction::triggered, this, [this, kind] { runMenuAction(kind); });
    }
}

void RecordingRowView::runMenuAction(RecordingRowRules::Action action)
{
    using Action = RecordingRowRules::Action;
    switch (action) {
    case Action::rename:
        Q_EMIT startEditingRequested();
        break;
    case Action::enhance:
        Q_EMIT enhanceRequested();
        break;
    case Action::toggleEnhanced:
        Q_EMIT toggleEnhancedRequested();
        break;
    case Action::exportToDownloads:
        Q_EMIT exportRequested();
        break;
    case Action::showInFileManager:
        Q_EMIT showInFileManagerRequested();
        break;
    case Action::remove:
        Q_EMIT deleteRequested();
        break;
    }
}

void RecordingRowView::enterEvent(QEnterEvent* event)
{
    m_state.isHovered = true;
    refresh();
    QWidget::enterEvent(event);
}

void RecordingRowView::leaveEvent(QEvent* event)
{
    m_state.isHovered = false;
    refresh();
    QWidget::leaveEvent(event);
}
