// The adapters' conversion of engine futures.

#include "viewmodels/adapters/MappedFuture.h"

#include "common/Error.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

QFuture<QString> mapped(QPromise<int>& source)
{
    return mappedFuture<QString>(source.future(), [](int value) { return QString::number(value); });
}

TEST(MappedFuture, ConvertsTheResult)
{
    QPromise<int> source;
    source.start();
    QFuture<QString> result = mapped(source);
    source.addResult(42);
    source.finish();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return result.isFinished(); }));
    EXPECT_EQ(result.result(), QStringLiteral("42"));
}

TEST(MappedFuture, PassesTheErrorOn)
{
    QPromise<int> source;
    source.start();
    QFuture<QString> result = mapped(source);
    source.setException(std::make_exception_ptr(Error(QStringLiteral("Engine"), 3, QStringLiteral("No model."))));
    source.finish();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return result.isFinished(); }));
    try {
        result.waitForFinished();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), QStringLiteral("No model."));
    }
}

TEST(MappedFuture, CancellingItCancelsTheEngineBehindIt)
{
    QPromise<int> source;
    source.start();
    QFuture<QString> result = mapped(source);
    result.cancel();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return source.isCanceled(); }));
    // It ends once the engine has stopped.
    EXPECT_FALSE(result.isFinished());
    source.finish();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return result.isFinished(); }));
    EXPECT_EQ(result.resultCount(), 0);
}

} // namespace
