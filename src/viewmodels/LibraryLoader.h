#pragma once

#include "models/RecordingsStorage.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class SerialQueue;

// Reads and repairs the library on a thread of its own, so the window can be
// shown meanwhile. The result reaches `done` exactly once, on the receiver's
// thread: on a later turn of its event loop, or at once from `finishWithin`
// when someone cannot wait for that turn (a quit).
class LibraryLoader {
public:
    using Load = std::function<RecordingsStorage::Loaded()>;
    using Done = std::function<void(RecordingsStorage::Loaded loaded)>;

    // `load` is RecordingsStorage::loadLibrary; it runs once started.
    LibraryLoader(Load load, QObject* receiver, Done done);
    // Waits for a load still running: it may be renaming files in the folder.
    ~LibraryLoader();
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    // Starts the load on its thread; once only.
    void start();
    // Starts the load unless it runs, waits at most `limit` for it and
    // delivers it now unless it was delivered already; true when it has been
    // delivered.
    bool finishWithin(std::chrono::milliseconds limit);

private:
    struct State {
        std::mutex mutex;
        std::condition_variable finished;
        std::optional<RecordingsStorage::Loaded> result;
        bool delivered = false;
        Done done;
    };
    static void deliver(const std::shared_ptr<State>& state);

    std::shared_ptr<State> m_state;
    Load m_load;
    QObject* m_receiver;
    std::unique_ptr<SerialQueue> m_queue;
};
