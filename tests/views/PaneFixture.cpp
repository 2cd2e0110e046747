#include "PaneFixture.h"

#include <QFile>

void PaneFixture::SetUp()
{
    ViewModelFixture::SetUp();
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    m_whisper = std::make_unique<WhisperEngine>();
    m_recapEngine = std::make_unique<RecapEngine>();
    settle();
}

void PaneFixture::TearDown()
{
    m_area.reset();
    setPaneRecapModelPresent(false);
    ViewModelFixture::TearDown();
    m_recapEngine.reset();
    m_whisper.reset();
}

WaveformVisualizerView& PaneFixture::makeDetailArea()
{
    makeViewModel();
    WaveformVisualizerView::Services services;
    services.whisper = m_whisper.get();
    services.recap = m_recapEngine.get();
    services.settings = m_settings.get();
    m_area = std::make_unique<WaveformVisualizerView>(*m_vm, services);
    m_area->resize(800, 640);
    m_area->show();
    settle();
    return *m_area;
}

RecordingItem PaneFixture::recordingWithSegments(const QStringList& segments)
{
    RecordingItem item = makeRecording(QStringLiteral("Weekly sync"), 5);
    QList<TranscriptSegment> list;
    for (int i = 0; i < segments.size(); ++i)
        list.append({QUuid::createUuid(), i * 4.0, i * 4.0 + 3.5, segments.at(i)});
    item.transcriptSegments = list;
    item.transcript = segments.join(QLatin1Char(' '));
    return item;
}

void PaneFixture::setPaneRecapModelPresent(bool present)
{
    const QString path = RecapEngine::modelPath();
    if (present)
        writeFile(path, 16);
    else
        QFile::remove(path);
}
