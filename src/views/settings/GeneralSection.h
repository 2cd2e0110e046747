#pragma once

#include <QHash>
#include <QWidget>

class BoundSettings;
class QCheckBox;
class QPushButton;
class SettingsServices;

// The General tab: meeting detection, the window and the login item, sleep,
// updates, and the privacy promise. Every switch shows and writes its stored
// value; the detection and login switches also act on their service at once.
class GeneralSection : public QWidget {
    Q_OBJECT
public:
    GeneralSection(BoundSettings& settings, SettingsServices& services, QWidget* parent = nullptr);

    QCheckBox* switchFor(const QString& key) const;
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdates; }

private:
    QCheckBox* addSwitch(const QString& key, const QString& label);
    void showStored(const QString& key);

    BoundSettings& m_settings;
    SettingsServices& m_services;
    QHash<QString, QCheckBox*> m_switches;
    QPushButton* m_checkForUpdates = nullptr;
};
