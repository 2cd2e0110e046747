#include "ConnectHook.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <mutex>

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

QStringList& log()
{
    static QStringList attempts;
    return attempts;
}

} // namespace

// Found before the C library's by every library of this program.
extern "C" int connect(int socket, const struct sockaddr* address, socklen_t length)
{
    using Connect = int (*)(int, const struct sockaddr*, socklen_t);
    static const auto real = reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "connect"));
    if (address && (address->sa_family == AF_INET || address->sa_family == AF_INET6)) {
        const QHostAddress host(address);
        const quint16 port = address->sa_family == AF_INET
            ? ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port)
            : ntohs(reinterpret_cast<const sockaddr_in6*>(address)->sin6_port);
        {
            std::lock_guard guard(lock());
            log() << QStringLiteral("%1:%2").arg(host.toString()).arg(port);
        }
        if (!host.isLoopback()) {
            errno = ECONNREFUSED;
            return -1;
        }
    }
    return real(socket, address, length);
}

namespace ConnectHook {

QStringList attempts()
{
    std::lock_guard guard(lock());
    return log();
}

void clear()
{
    std::lock_guard guard(lock());
    log().clear();
}

} // namespace ConnectHook
