#include "common/ProcessRunner.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long a child gets between SIGTERM and SIGKILL once cancelled.
constexpr auto kTerminateGrace = 500ms;
// A grandchild may keep the pipes open after the child itself exited; we stop
// reading after this long rather than wait for it.
constexpr auto kDrainAfterExit = 2s;
constexpr int kTickMs = 50;

[[noreturn]] void throwErrno(int error, const QString& what)
{
    throw Error(QStringLiteral("ProcessRunner"), error,
                what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
}

// Owns a file descriptor; -1 is none.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// An arrays of C strings that stays valid while the object lives.
class CStringList {
public:
    void append(QByteArray value) { m_storage.push_back(std::move(value)); }
    char* const* data()
    {
        m_pointers.clear();
        for (QByteArray& value : m_storage)
            m_pointers.push_back(value.data());
        m_pointers.push_back(nullptr);
        return m_pointers.data();
    }

private:
    std::vector<QByteArray> m_storage;
    std::vector<char*> m_pointers;
};

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    return -1;
#endif
}

bool readInto(Fd& fd, QByteArray& buffer)
{
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(fd.get(), chunk, sizeof chunk);
        if (count > 0) {
            buffer.append(chunk, count);
            continue;
        }
        if (count == 0) {
            fd.reset();
            return false;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        fd.reset();
        return false;
    }
}

bool isExecutableFile(const QString& path)
{
    return QFileInfo(path).isFile() && ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

} // namespace

ProcessRunner::Result ProcessRunner::run(const Command& command, const CancelCheck& isCancelled)
{
    if (command.program.isEmpty() || QFileInfo(command.program).isRelative())
        throwErrno(EINVAL, QStringLiteral("Cannot start \"%1\"").arg(command.program));

    int outPipe[2];
    int errPipe[2];
    // Only our read ends are non-blocking: the child's write ends must block
    // when a pipe is full, or its output would be lost while we catch up.
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        throwErrno(errno, QStringLiteral("Cannot create a pipe"));
    Fd outRead(outPipe[0]);
    Fd outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        throwErrno(errno, QStringLiteral("Cannot create a pipe"));
    Fd errRead(errPipe[0]);
    Fd errWrite(errPipe[1]);
    ::fcntl(outRead.get(), F_SETFL, ::fcntl(outRead.get(), F_GETFL) | O_NONBLOCK);
    ::fcntl(errRead.get(), F_SETFL, ::fcntl(errRead.get(), F_GETFL) | O_NONBLOCK);

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, outWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, errWrite.get(), STDERR_FILENO);
    const QByteArray workingDirectory = QFile::encodeName(command.workingDirectory);
    if (!command.workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingDirectory.constData());

    // Own process group, so cancelling also reaches anything the child started;
    // signals we may ignore or block go back to their defaults.
    sigset_t empty;
    sigemptyset(&empty);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, signal);
    posix_spawnattr_setflags(&setup.attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setsigmask(&setup.attributes, &empty);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);

    const QByteArray program = QFile::encodeName(command.program);
    CStringList argv;
    argv.append(program);
    for (const QString& argument : command.arguments)
        argv.append(argument.toLocal8Bit());
    CStringList envp;
    for (const QString& entry : command.environment.toStringList())
        envp.append(entry.toLocal8Bit());

    pid_t pid = -1;
    const int spawnError = ::posix_spawn(&pid, program.constData(), &setup.actions, &setup.attributes,
                                         argv.data(), envp.data());
    if (spawnError != 0)
        throwErrno(spawnError, QStringLiteral("Cannot start \"%1\"").arg(command.program));
    outWrite.reset();
    errWrite.reset();

    Fd exitFd(openPidFd(pid));
    Result result;
    bool exited = false;
    bool cancelled = false;
    bool killed = false;
    Clock::time_point exitedAt;
    Clock::time_point terminatedAt;

    auto reap = [&](int options) {
        int status = 0;
        pid_t done;
        do {
            done = ::waitpid(pid, &status, options);
        } while (done < 0 && errno == EINTR);
        if (done != pid)
            return;
        exited = true;
        exitedAt = Clock::now();
        exitFd.reset();
        if (WIFSIGNALED(status)) {
            result.killedBySignal = true;
            result.exitStatus = WTERMSIG(status);
        } else {
            result.exitStatus = WEXITSTATUS(status);
        }
    };

    for (;;) {
        if (!exited)
            reap(WNOHANG);
        if (exited) {
            const bool drained = !outRead.isOpen() && !errRead.isOpen();
            if (drained || cancelled || Clock::now() - exitedAt > kDrainAfterExit)
                break;
        }
        if (!cancelled && isCancelled && isCancelled()) {
            cancelled = true;
            terminatedAt = Clock::now();
            ::kill(-pid, SIGTERM);
        }
        if (cancelled && !killed && Clock::now() - terminatedAt >= kTerminateGrace) {
            killed = true;
            ::kill(-pid, SIGKILL);
        }

        std::array<pollfd, 3> fds{};
        std::array<Fd*, 3> owners{};
        nfds_t count = 0;
        for (Fd* fd : {&outRead, &errRead, &exitFd}) {
            if (fd->isOpen()) {
                fds[count] = pollfd{fd->get(), POLLIN, 0};
                owners[count] = fd;
                ++count;
            }
        }
        const int ready = ::poll(fds.data(), count, kTickMs);
        if (ready <= 0)
            continue;
        for (nfds_t i = 0; i < count; ++i) {
            if (!fds[i].revents)
                continue;
            if (owners[i] == &outRead)
                readInto(outRead, result.standardOutput);
            else if (owners[i] == &errRead) {
                const qsizetype before = result.standardError.size();
                readInto(errRead, result.standardError);
                if (command.onStandardError && result.standardError.size() > before)
                    command.onStandardError(result.standardError);
            }
            else
                reap(0);
        }
    }

    if (cancelled) {
        ::kill(-pid, SIGKILL); // whatever the child left behind in its group
        throw CancelledError();
    }
    return result;
}

QString ProcessRunner::findExecutable(const QString& name, const QStringList& folders)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    QStringList searched = folders;
    const QString path = qEnvironmentVariable("PATH");
    searched += path.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : std::as_const(searched)) {
        if (folder.isEmpty() || QDir::isRelativePath(folder))
            continue;
        const QString candidate = QDir(folder).absoluteFilePath(name);
        if (isExecutableFile(candidate))
            return QDir::cleanPath(candidate);
    }
    return {};
}

void ProcessRunner::prependPath(QProcessEnvironment& environment, const QString& variable, const QString& folder)
{
    const QString old = environment.value(variable);
    environment.insert(variable, old.isEmpty() ? folder : folder + QLatin1Char(':') + old);
}
