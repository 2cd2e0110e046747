// Runs the single-instance guard over the folder given as its first argument:
// the first start prints "primary" and then "show" for each later start; a
// later start prints "notified" (exit 0) or "no answer" (exit 1).
#include "app/SingleInstanceGuard.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstanceGuard guard(QCoreApplication::arguments().value(1));
    if (!guard.claim()) {
        const bool notified = guard.notifyRunningInstance();
        std::printf(notified ? "notified\n" : "no answer\n");
        return notified ? 0 : 1;
    }
    std::printf("primary\n");
    std::fflush(stdout);
    QObject::connect(&guard, &SingleInstanceGuard::showRequested, [] {
        std::printf("show\n");
        std::fflush(stdout);
    });
    return app.exec();
}
