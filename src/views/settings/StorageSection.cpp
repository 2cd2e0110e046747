#include "views/settings/StorageSection.h"

#include "viewmodels/LibraryViewModel.h"
#include "views/detail/RoundedPanel.h"
#include "views/logic/SettingsRules.h"
#include "views/settings/SettingsForm.h"
#include "views/settings/SettingsServices.h"
#include "views/style/Style.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace SettingsForm;

namespace {

constexpr int pathLines = 2;

// Lets a long path wrap after its separators, which word wrapping alone never breaks.
QString breakablePath(const QString& path)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    return text;
}

} // namespace

StorageSection::StorageSection(LibraryViewModel& library, SettingsServices& services, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
{
    setObjectName(QStringLiteral("storageSection"));
    auto* section = new QVBoxLayout(this);
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(20);

    QVBoxLayout* storage = addGroup(section, QStringLiteral("Recordings Storage"), 14);
    auto* location = new QVBoxLayout;
    location->setSpacing(4);
    QLabel* caption = makeLabel(QStringLiteral("Location on Disk:"), 12, true, this);
    caption->setFont(Style::font(12, TextWeight::medium));
    location->addWidget(caption);

    auto* plate = new RoundedPanel({}, 6, this);
    plate->setPaletteFill(QPalette::Base, 0.6);
    auto* plateLayout = new QVBoxLayout(plate);
    plateLayout->setContentsMargins(8, 8, 8, 8);
    const QString folder = services.recordingsFolder();
    m_path = makeLabel(breakablePath(folder), 11, false, plate);
    m_path->setObjectName(QStringLiteral("storagePath"));
    m_path->setFont(Style::monospacedFont(11));
    m_path->setWordWrap(true);
    m_path->setToolTip(folder);
    m_path->setMaximumHeight(QFontMetrics(m_path->font()).lineSpacing() * pathLines);
    plateLayout->addWidget(m_path);
    location->addWidget(plate);
    storage->addLayout(location);

    auto* actions = new QHBoxLayout;
    m_showFolder = new QPushButton(QStringLiteral("Show in File Manager"), this);
    m_showFolder->setObjectName(QStringLiteral("showInFileManagerButton"));
    m_showFolder->setFont(Style::font(12));
    m_showFolder->setAutoDefault(false);
    connect(m_showFolder, &QPushButton::clicked, this, [&services, folder] { services.showFolder(folder); });
    actions->addWidget(m_showFolder);
    actions->addStretch(1);
    m_count = makeLabel(QString(), 12, true, this);
    m_count->setObjectName(QStringLiteral("recordingCount"));
    actions->addWidget(m_count);
    storage->addLayout(actions);

    connect(&m_library, &LibraryViewModel::recordingsChanged, this, &StorageSection::showCount);
    showCount();
}

void StorageSection::showCount()
{
    m_count->setText(SettingsRules::recordingCountText(m_library.recordings().size()));
}
