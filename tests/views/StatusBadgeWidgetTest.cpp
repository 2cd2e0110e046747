#include "common/Settings.h"
#include "engines/speech/WhisperEngine.h"
#include "models/AppVersion.h"
#include "services/updates/UpdateManager.h"
#include "views/badges/BadgeView.h"
#include "views/badges/UpdateStatusBadge.h"
#include "views/badges/WhisperStatusBadge.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "support/LoopbackHttpServer.h"
#include "support/TestEnvironment.h"

#include <archive.h>
#include <archive_entry.h>

namespace {

using Kind = UpdateState::Kind;

// A bundle whose bin/nimbrel is a program of this machine: an update must hold one.
QByteArray bundleZip()
{
    QFile program(QStringLiteral("/bin/true"));
    const QByteArray content = program.open(QIODevice::ReadOnly) ? program.readAll() : QByteArray();
    QByteArray bytes(content.size() + 64 * 1024, '\0');
    size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_open_memory(writer, bytes.data(), bytes.size(), &used);
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, "Nimbrel.app/bin/nimbrel");
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0755);
    archive_entry_set_size(entry, content.size());
    archive_write_header(writer, entry);
    archive_write_data(writer, content.constData(), content.size());
    archive_entry_free(entry);
    archive_write_close(writer);
    archive_write_free(writer);
    bytes.truncate(static_cast<qsizetype>(used));
    return bytes;
}

class UpdateBadgeWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppVersion::setInfoDictionaryOverride(QVariantMap{{QStringLiteral("version"), QStringLiteral("1.1.0")},
                                                         {QStringLiteral("build"), QStringLiteral("10")}});
        QString base = server.url(QStringLiteral("/")).toString();
        base.chop(1);
        qputenv("NIMBREL_UPDATE_HOST", base.toUtf8());
        server.setBody(QStringLiteral("/nimbrel/app/version.json"),
                       QStringLiteral(R"({"version":"1.2","build":11,"downloadURL":"%1","releaseNotes":"<b>Notes</b>"})")
                           .arg(server.url(QStringLiteral("/u.zip")).toString())
                           .toUtf8());
        server.setBody(QStringLiteral("/u.zip"), bundleZip());
        updater.setUpdatesFolder(QDir(dir.path()).filePath(QStringLiteral("Updates")));
        updater.setQuitHandler([this] { ++quits; });
        QDir().mkpath(QDir(dir.path()).filePath(QStringLiteral("Nimbrel.app/bin")));
        updater.setExecutablePath(QDir(dir.path()).filePath(QStringLiteral("Nimbrel.app/bin/nimbrel")));
    }
    void TearDown() override
    {
        qunsetenv("NIMBREL_UPDATE_HOST");
        AppVersion::setInfoDictionaryOverride(std::nullopt);
    }

    bool waitFor(Kind kind)
    {
        return TestEnvironment::waitUntil([&] { return updater.state().kind == kind; }, 10000);
    }

    QTemporaryDir dir;
    LoopbackHttpServer server;
    Settings settings{QDir(dir.path()).filePath(QStringLiteral("s.ini"))};
    UpdateManager updater{settings};
    int quits = 0;
};

TEST_F(UpdateBadgeWidgetTest, OffersTheDownloadThenAsksBeforeRestarting)
{
    QWidget bar;
    auto& badge = *new UpdateStatusBadge(updater, false, &bar);
    bar.show();
    EXPECT_FALSE(badge.isVisible()); // idle takes no space

    updater.checkForUpdates(false, false);
    ASSERT_TRUE(waitFor(Kind::Available));
    EXPECT_TRUE(badge.isVisible());
    EXPECT_EQ(badge.badge()->text(), QStringLiteral("Update v1.2"));

    QTest::mouseClick(badge.badge(), Qt::LeftButton);
    ASSERT_TRUE(waitFor(Kind::ReadyToInstall));
    EXPECT_EQ(updater.state().info.version, QStringLiteral("1.2"));
    EXPECT_EQ(badge.badge()->text(), QStringLiteral("Restart to Update (v1.2)"));

    // "Later" keeps the restart button.
    QTest::mouseClick(badge.badge(), Qt::LeftButton);
    ASSERT_TRUE(badge.restartAlert());
    EXPECT_EQ(badge.restartAlert()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(badge.restartAlert()->informativeText().endsWith(QStringLiteral("\n\n<b>Notes</b>")));
    const auto button = [&](const QString& text) {
        for (QAbstractButton* b : badge.restartAlert()->buttons())
            if (b->text().replace(QStringLiteral("&&"), QStringLiteral("&")) == text)
                return b;
        return static_cast<QAbstractButton*>(nullptr);
    };
    button(QStringLiteral("Later"))->click();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !badge.restartAlert(); }));
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(badge.badge()->text(), QStringLiteral("Restart to Update (v1.2)"));

    // "Restart & Apply" installs once.
    QTest::mouseClick(badge.badge(), Qt::LeftButton);
    ASSERT_TRUE(badge.restartAlert());
    button(QStringLiteral("Restart & Apply"))->click();
    EXPECT_EQ(quits, 1);
}

TEST(SpeechModelBadgeWidget, CompactOffersTheModelAndDownloadsOnClickAndAgainAfterAFailure)
{
    LoopbackHttpServer server; // answers 404: the download fails, but it starts
    qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    WhisperEngine engine;
    ASSERT_TRUE(engine.modelState().is(WhisperModelState::Case::notDownloaded));
    WhisperStatusBadge badge(engine, true);
    badge.show();
    EXPECT_EQ(badge.badge()->text(), QStringLiteral("Model"));
    badge.setCompact(false);
    EXPECT_EQ(badge.badge()->text(), QStringLiteral("Download Speech Model"));

    QTest::mouseClick(badge.badge(), Qt::LeftButton);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !server.requestedPaths().isEmpty(); }, 10000));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return engine.modelState().is(WhisperModelState::Case::error); }, 10000));
    EXPECT_TRUE(badge.badge()->text().startsWith(QStringLiteral("Download failed: ")));
    EXPECT_TRUE(badge.badge()->text().endsWith(QStringLiteral(" \u00b7 Retry")));

    QTest::mouseClick(badge.badge(), Qt::LeftButton);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return server.requestedPaths().size() == 2; }, 10000));
    qunsetenv("NIMBREL_MODEL_HOST");
}

} // namespace

TEST(BadgeViewKeyboard, ABadgeThatActsTakesTheKeyboardAndIsNamed)
{
    BadgeView badge;
    StatusBadgeRules::Look look;
    look.form = StatusBadgeRules::Form::button;
    look.text = QStringLiteral("Model");
    look.toolTip = QStringLiteral("Download the speech model");
    badge.setLook(look);
    EXPECT_EQ(badge.focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(badge.accessibleName(), QStringLiteral("Model"));
    int clicks = 0;
    QObject::connect(&badge, &BadgeView::clicked, [&] { ++clicks; });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(&badge, key);
    QTest::keyClick(&badge, Qt::Key_A);
    EXPECT_EQ(clicks, 3);

    look.form = StatusBadgeRules::Form::plainRow;
    badge.setLook(look);
    EXPECT_EQ(badge.focusPolicy(), Qt::NoFocus);
    QTest::keyClick(&badge, Qt::Key_Return);
    EXPECT_EQ(clicks, 3);
}
