#pragma once

#include "views/logic/SettingsRules.h"

#include <QMap>
#include <QWidget>

#include <memory>

class BoundSettings;
class QLabel;
class QPushButton;
class QScrollArea;
class RecordingViewModel;
class Settings;
class SettingsServices;
class SettingsTabButton;

// The content of the settings window, 540 by 500: four tabs, the selected
// tab's section in a scroll area, and a footer with the version and "Done".
// A section is built afresh from the stored values each time its tab is
// shown, with its controls filled before they react, so opening the window
// or a tab changes nothing.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    // On the app's own settings and services.
    explicit SettingsView(RecordingViewModel& vm, QWidget* parent = nullptr);
    SettingsView(RecordingViewModel& vm, Settings& settings, SettingsServices& services, QWidget* parent = nullptr);
    ~SettingsView() override;

    SettingsRules::SettingsTab selectedTab() const { return m_selectedTab; }
    void selectTab(SettingsRules::SettingsTab tab);
    SettingsTabButton* tabButton(SettingsRules::SettingsTab tab) const { return m_tabButtons.value(tab); }
    // The section on screen.
    QWidget* section() const { return m_section; }
    QPushButton* doneButton() const { return m_done; }

Q_SIGNALS:
    // "Done" was pressed (or Return where no control takes it, or Escape): close the window.
    void doneRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    SettingsView(RecordingViewModel& vm, Settings& settings, SettingsServices* services,
                 std::unique_ptr<SettingsServices> ownServices, QWidget* parent);
    void build();
    QWidget* makeTabBar();
    QWidget* makeFooter();

    RecordingViewModel& m_vm;
    std::unique_ptr<SettingsServices> m_ownServices;
    SettingsServices* m_services;
    BoundSettings* m_settings;
    SettingsRules::SettingsTab m_selectedTab = SettingsRules::SettingsTab::general;
    QMap<SettingsRules::SettingsTab, SettingsTabButton*> m_tabButtons;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_section = nullptr;
    QPushButton* m_done = nullptr;
};
