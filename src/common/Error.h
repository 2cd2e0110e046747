#pragma once

#include <QString>

#include <exception>

// An error that carries the domain it comes from (usually the class that
// raised it), an integer code and a one-line message for the user.
class Error : public std::exception {
public:
    Error(QString domain, int code, QString message);

    const QString& domain() const { return m_domain; }
    int code() const { return m_code; }
    const QString& message() const { return m_message; }

    const char* what() const noexcept override { return m_what.constData(); }

    // The message of any exception, for status lines; an Error gives its own.
    static QString describe(const std::exception_ptr& error);

private:
    QString m_domain;
    int m_code;
    QString m_message;
    QByteArray m_what;
};

// A cancelled operation; never shown as a failure.
class CancelledError : public Error {
public:
    CancelledError();
};
