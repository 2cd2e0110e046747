#include "support/TestEnvironment.h"

#include <QCoreApplication>

#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    TestEnvironment::isolate();
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Nimbrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Nimbrel"));
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
