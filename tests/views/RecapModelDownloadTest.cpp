// The recap pane follows a real model download from a loopback host.

#include "PaneFixture.h"

#include "support/LoopbackHttpServer.h"
#include "viewmodels/LibraryViewModel.h"
#include "views/detail/ModelDownloadCard.h"
#include "views/detail/PlaybackRecapView.h"
#include "views/detail/ReadyToGenerateCard.h"
#include "views/detail/RecapContentView.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using RecapRules::Body;

namespace {

const QString modelPath = QStringLiteral("/ggml-org/gemma-3-1b-it-GGUF/resolve/main/gemma-3-1b-it-Q4_K_M.gguf");

class RecapModelDownload : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("NIMBREL_MODEL_HOST");
        PaneFixture::TearDown();
    }

    PlaybackRecapView& recapPane()
    {
        RecordingItem item = makeRecording(QStringLiteral("Sync"), 3);
        item.transcript = QStringLiteral("we talked about the plan");
        seedLibrary({item});
        makeDetailArea();
        m_vm->library().setActiveDetailTab(DetailViewTab::recap);
        settle();
        return *m_area->recapView()->playbackView();
    }

    QPushButton* downloadButton(PlaybackRecapView& view) const
    {
        auto* card = qobject_cast<ModelDownloadCard*>(view.bodyWidget());
        return card ? card->downloadButton() : nullptr;
    }

    LoopbackHttpServer server;
};

} // namespace

TEST_F(RecapModelDownload, FinishedDownloadSwitchesTheCardAway)
{
    server.setBody(modelPath, QByteArray("GGUF") + QByteArray(4096, '\0'));
    PlaybackRecapView& view = recapPane();
    ASSERT_EQ(view.body(), Body::modelDownload);
    ASSERT_TRUE(downloadButton(view));
    EXPECT_EQ(downloadButton(view)->text(), "Download Summary Model (~768 MB)");

    QTest::mouseClick(downloadButton(view), Qt::LeftButton);
    EXPECT_TRUE(view.bodyWidget()->findChild<QProgressBar*>(QStringLiteral("recapDownloadProgress")));
    ASSERT_TRUE(waitFor([&] { return view.body() != Body::modelDownload; }, 10000));
    EXPECT_EQ(view.body(), Body::readyToGenerate);
    EXPECT_TRUE(qobject_cast<ReadyToGenerateCard*>(view.bodyWidget()));
    EXPECT_TRUE(view.generateButton()->isVisible());
}

TEST_F(RecapModelDownload, FailedDownloadShowsTheErrorAndRetries)
{
    PlaybackRecapView& view = recapPane(); // the host knows no model: 404
    QTest::mouseClick(downloadButton(view), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return m_recapEngine->modelState().kind() == RecapModelState::Kind::error; }, 10000));
    settle();
    EXPECT_EQ(view.body(), Body::modelDownload);
    auto* error = view.bodyWidget()->findChild<QLabel*>(QStringLiteral("recapDownloadError"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->text().startsWith(QStringLiteral("Error: Download failed: "))) << error->text().toStdString();
    ASSERT_TRUE(downloadButton(view));
    EXPECT_EQ(downloadButton(view)->text(), "Retry Download");

    server.setBody(modelPath, QByteArray("GGUF") + QByteArray(64, '\0'));
    QTest::mouseClick(downloadButton(view), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return view.body() == Body::readyToGenerate; }, 10000));
}
