#include "common/Error.h"

Error::Error(QString domain, int code, QString message)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_message(std::move(message))
    , m_what(m_message.toUtf8())
{
}

QString Error::describe(const std::exception_ptr& error)
{
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error.");
    }
}

CancelledError::CancelledError()
    : Error(QStringLiteral("Cancelled"), -999, QStringLiteral("The operation was cancelled."))
{
}
