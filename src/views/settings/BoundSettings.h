#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class Settings;

// The stored values the settings window shows: each reads as its stored
// value, else as the window's own default (also before the defaults are
// registered at launch), and every change is stored at once.
class BoundSettings : public QObject {
    Q_OBJECT
public:
    explicit BoundSettings(Settings& settings, QObject* parent = nullptr);

    QVariant value(const QString& key) const;
    bool boolValue(const QString& key) const;
    double doubleValue(const QString& key) const;
    QString stringValue(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);

Q_SIGNALS:
    // Any part of the app stored a value under `key`.
    void changed(const QString& key);

private:
    Settings& m_settings;
};
