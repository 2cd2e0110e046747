#pragma once

#include <QObject>
#include <QSettings>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>

// The user's preferences. Values that were never stored fall back to the
// defaults registered at launch; `isStored` tells the two apart.
class Settings : public QObject {
    Q_OBJECT
public:
    static Settings& shared();

    // A store backed by the given file (tests use their own).
    explicit Settings(const QString& fileName, QObject* parent = nullptr);

    void registerDefaults(const QVariantMap& defaults);

    QVariant value(const QString& key) const;
    bool boolValue(const QString& key) const;
    double doubleValue(const QString& key) const;
    QString stringValue(const QString& key) const;

    bool isStored(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

Q_SIGNALS:
    void valueChanged(const QString& key);

private:
    Settings();

    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_store;
    QVariantMap m_defaults;
};
