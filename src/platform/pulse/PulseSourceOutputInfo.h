#pragma once

#include <QMap>
#include <QString>

#include <cstdint>

// One record stream (someone capturing from a source) as the server lists it.
struct PulseSourceOutputInfo {
    uint32_t index = 0;
    // The owning client; PA_INVALID_INDEX for streams that a module holds
    // itself (a remapped source reads its master that way).
    uint32_t clientIndex = 0;
    uint32_t sourceIndex = 0;
    bool isCorked = false;
    QString applicationName;      // application.name
    QString processBinary;        // application.process.binary
    QString processId;            // application.process.id
    QMap<QString, QString> properties; // every property, for anything else
};
