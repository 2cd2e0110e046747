#pragma once

#include "common/Date.h"

#include <QString>

#include <optional>

// What an unlisted MP3 file's name says about the recording: the title before
// the first "_", and the seconds since 1970 after the last "_" when they are
// there ("Weekly_1712345678.mp3").
struct OrphanName {
    QString title;
    std::optional<Date> timeStamp;

    static OrphanName parse(const QString& fileName);

    // Whole seconds since 1970 written as digits only, later than 2001-09-09 and
    // no later than the year 9999; anything else ("inf", "1e309", "+17...") gives nothing.
    static std::optional<Date> parseTimeStamp(QStringView text);
};
