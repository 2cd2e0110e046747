#include "PaneFixture.h"

#include <QDir>
#include <QFile>

void PaneFixture::SetUp()
{
    ViewModelFixture::SetUp();
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    m_whisper = std::make_unique<WhisperEngine>();
    settle();
}

void PaneFixture::TearDown()
{
    m_area.reset();
    ViewModelFixture::TearDown();
    m_whisper.reset();
}

WaveformVisualizerView& PaneFixture::makeDetailArea()
{
    makeViewModel();
    WaveformVisualizerView::Services services;
    services.whisper = m_whisper.get();
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
