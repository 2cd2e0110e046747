#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The version feed's record of the newest published build.
struct UpdateInfo {
    QString version;
    qint64 build = 0;
    std::optional<QString> releaseDate;
    QString downloadURL;
    std::optional<bool> mandatory;
    std::optional<QString> releaseNotes;
    // Hex SHA-256 of the archive, when the feed carries one; checked before
    // anything is unpacked.
    std::optional<QString> sha256;

    // Strict: a missing or null required key, or a value of the wrong JSON type,
    // fails the whole record and `error` says which. Unknown keys are ignored.
    static std::optional<UpdateInfo> decode(const QByteArray& json, QString* error = nullptr);

    bool operator==(const UpdateInfo&) const = default;
};
