#include "viewmodels/LibraryLoader.h"

#include "common/SerialQueue.h"

#include <QMetaObject>

LibraryLoader::LibraryLoader(Load load, QObject* receiver, Done done)
    : m_state(std::make_shared<State>())
    , m_load(std::move(load))
    , m_receiver(receiver)
{
    m_state->done = std::move(done);
}

void LibraryLoader::start()
{
    if (m_queue)
        return;
    m_queue = std::make_unique<SerialQueue>(QStringLiteral("com.tarvell.nimbrel.libraryload"));
    // The receiver outlives the thread (the destructor joins it); a delivery
    // still queued when the receiver goes is dropped with its events.
    m_queue->post([state = m_state, load = std::move(m_load), receiver = m_receiver] {
        RecordingsStorage::Loaded loaded = load();
        {
            std::lock_guard lock(state->mutex);
            state->result = std::move(loaded);
        }
        state->finished.notify_all();
        QMetaObject::invokeMethod(receiver, [state] { deliver(state); }, Qt::QueuedConnection);
    });
}

LibraryLoader::~LibraryLoader()
{
    m_queue.reset(); // joins the thread once the load has ended
}

bool LibraryLoader::finishWithin(std::chrono::milliseconds limit)
{
    start();
    {
        std::unique_lock lock(m_state->mutex);
        if (!m_state->finished.wait_for(lock, limit, [this] { return m_state->result || m_state->delivered; }))
            return false;
    }
    deliver(m_state);
    return true;
}

void LibraryLoader::deliver(const std::shared_ptr<State>& state)
{
    std::optional<RecordingsStorage::Loaded> loaded;
    {
        std::lock_guard lock(state->mutex);
        if (state->delivered || !state->result)
            return;
        state->delivered = true;
        loaded = std::move(state->result);
        state->result.reset();
    }
    state->done(std::move(*loaded));
}
