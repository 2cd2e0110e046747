#pragma once

#include <QString>

// A size for messages: "97.7 KB", "2 MB", "1 GB" (units of 1024).
inline QString byteCountText(qint64 bytes)
{
    const struct {
        qint64 unit;
        const char* name;
    } units[] = {{qint64(1) << 30, "GB"}, {qint64(1) << 20, "MB"}, {qint64(1) << 10, "KB"}};
    for (const auto& u : units) {
        if (bytes >= u.unit)
            return QStringLiteral("%1 %2").arg(QString::number(double(bytes) / double(u.unit), 'g', 3),
                                               QLatin1String(u.name));
    }
    return QStringLiteral("%1 bytes").arg(bytes);
}
