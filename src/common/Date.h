#pragma once

#include <QDateTime>

#include <compare>

// A moment in time as seconds (with fraction) since 1 January 2001 00:00:00
// UTC, the form the library index stores. Keeping the double itself makes a
// read-and-write round trip exact, which QDateTime's milliseconds are not.
class Date {
public:
    // Seconds between 1 January 1970 and 1 January 2001, UTC.
    static constexpr double referenceOffset = 978307200.0;

    constexpr Date() = default;
    static constexpr Date fromReferenceSeconds(double seconds) { return Date(seconds); }
    static constexpr Date fromUnixSeconds(double seconds) { return Date(seconds - referenceOffset); }
    static Date fromDateTime(const QDateTime& dateTime);
    static Date now();

    constexpr double referenceSeconds() const { return m_seconds; }
    constexpr double unixSeconds() const { return m_seconds + referenceOffset; }
    QDateTime toDateTime() const;

    Date addingSeconds(double seconds) const { return Date(m_seconds + seconds); }
    double secondsSince(const Date& other) const { return m_seconds - other.m_seconds; }

    friend constexpr bool operator==(const Date&, const Date&) = default;
    friend constexpr auto operator<=>(const Date&, const Date&) = default;

private:
    constexpr explicit Date(double seconds)
        : m_seconds(seconds)
    {
    }

    double m_seconds = 0;
};
