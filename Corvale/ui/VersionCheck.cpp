#include "ui/VersionCheck.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace corvale {

namespace {

const char* const kVersionPath = "/Corvale/downloads/versioninfo.php?version=";

// The version goes into the query as it is when it is made of safe
// characters (it always is: digits and points); anything else is escaped so
// that the request line stays one valid line.
std::string EncodeQueryValue(const std::string& value) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        const bool safe = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                          c == '-' || c == '_' || c == '~';
        if (safe) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

// Closes the socket on every way out.
class SocketHandle {
public:
    explicit SocketHandle(int fd) : m_Fd(fd) {}
    ~SocketHandle() {
        if (m_Fd >= 0)
            ::close(m_Fd);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    int get() const { return m_Fd; }

private:
    int m_Fd;
};

using Clock = std::chrono::steady_clock;

enum class Wait { Ready, TimedOut, PastDeadline };

// Waits for the socket at most timeoutMs and never past the deadline.
Wait WaitFor(int fd, short events, int timeoutMs, Clock::time_point deadline) {
    pollfd entry{};
    entry.fd = fd;
    entry.events = events;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Wait::PastDeadline;
        const bool stepIsShorter = timeoutMs < left;
        const int ready = ::poll(&entry, 1, static_cast<int>(stepIsShorter ? timeoutMs : left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0)
            return Wait::Ready;
        if (ready == 0 && !stepIsShorter)
            return Wait::PastDeadline;
        return Wait::TimedOut;
    }
}

// A connected stream socket to the first address of the host that answers,
// or -1. The socket is left non-blocking.
int Connect(const VersionCheckRequest& request, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const std::string port = std::to_string(request.port);
    if (::getaddrinfo(request.host.c_str(), port.c_str(), &hints, &addresses) != 0 || addresses == nullptr)
        return -1;
    int connected = -1;
    for (addrinfo* address = addresses; address != nullptr && connected < 0; address = address->ai_next) {
        const int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0)
            continue;
        const int flags = ::fcntl(fd, F_GETFL, 0);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
            ::close(fd);
            continue;
        }
        bool ok = ::connect(fd, address->ai_addr, address->ai_addrlen) == 0;
        if (!ok && errno == EINPROGRESS && WaitFor(fd, POLLOUT, kVersionConnectTimeoutMs, deadline) == Wait::Ready) {
            int error = 0;
            socklen_t length = sizeof error;
            ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        if (ok)
            connected = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(addresses);
    return connected;
}

bool SendAll(int fd, const std::string& text, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (WaitFor(fd, POLLOUT, kVersionReceiveTimeoutMs, deadline) != Wait::Ready)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

enum class ReceiveEnd { Closed, LimitReached, Failed, PastDeadline };

// Reads until the server closes the connection, the limit is reached, no
// further part comes in time, or the deadline passes. The buffer never grows
// past the limit.
ReceiveEnd ReceiveReply(int fd, std::string& reply, Clock::time_point deadline) {
    char chunk[4096];
    while (reply.size() < kVersionReplyLimit) {
        switch (WaitFor(fd, POLLIN, kVersionReceiveTimeoutMs, deadline)) {
        case Wait::Ready:
            break;
        case Wait::TimedOut:
            return ReceiveEnd::Failed;
        case Wait::PastDeadline:
            return ReceiveEnd::PastDeadline;
        }
        const std::size_t room = std::min(sizeof chunk, kVersionReplyLimit - reply.size());
        const ssize_t n = ::recv(fd, chunk, room, 0);
        if (n == 0)
            return ReceiveEnd::Closed;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return ReceiveEnd::Failed;
        }
        reply.append(chunk, static_cast<std::size_t>(n));
    }
    return ReceiveEnd::LimitReached;
}

} // namespace

std::string FormatVersionRequest(const VersionCheckRequest& request) {
    std::string host = request.host;
    if (request.port != 80)
        host += ":" + std::to_string(request.port);
    return "GET " + std::string(kVersionPath) + EncodeQueryValue(request.version) + " HTTP/1.0\r\n" +
           "Host: " + host + "\r\n" + "Accept: text/*\r\n" + "User-Agent: Corvale v" + request.version + "\r\n" +
           "\r\n";
}

std::string VersionCheckErrorText(const std::string& host) { return "Error connecting to " + host; }

std::string VersionCheckConnectingText(const std::string& host) { return "Connecting to " + host + "..."; }

std::string CheckOnlineVersion(const VersionCheckRequest& request) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(request.deadlineMs);
    SocketHandle socket(Connect(request, deadline));
    if (socket.get() < 0)
        return VersionCheckErrorText(request.host);
    const std::string text = FormatVersionRequest(request);
    if (!SendAll(socket.get(), text, deadline))
        return VersionCheckErrorText(request.host);
    std::string reply;
    const ReceiveEnd end = ReceiveReply(socket.get(), reply, deadline);
    // A reply that broke off part-way is still shown as far as it came; one
    // that never started is a failed receive. A check that ran out of time
    // failed, however much of the reply had come.
    if ((end == ReceiveEnd::Failed && reply.empty()) || end == ReceiveEnd::PastDeadline)
        return VersionCheckErrorText(request.host);
    // The reply is taken as text: it ends at its first NUL byte.
    const std::size_t nul = reply.find('\0');
    if (nul != std::string::npos)
        reply.resize(nul);
    return text + "\r\n\r\n" + reply;
}

// ---------------------------------------------------------------------------
// The process-wide state
// ---------------------------------------------------------------------------

struct CVersionCheck::State {
    mutable std::mutex mutex;
    mutable std::condition_variable idle;
    std::string result;
    bool running = false;
    int started = 0;
    QObject* receiver = nullptr;
    std::function<void()> deliver;
    std::function<std::string(const VersionCheckRequest&)> check;
};

CVersionCheck::State& CVersionCheck::TheState() {
    // Never destroyed: a worker still running when the process ends must find
    // its state in place.
    static State* const state = new State;
    return *state;
}

CVersionCheck& CVersionCheck::Instance() {
    static CVersionCheck instance;
    return instance;
}

bool CVersionCheck::Start(const VersionCheckRequest& request) {
    State& state = TheState();
    std::function<std::string(const VersionCheckRequest&)> check;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.running)
            return false;
        state.running = true;
        ++state.started;
        state.result = VersionCheckConnectingText(request.host);
        check = state.check ? state.check : CheckOnlineVersion;
    }
    std::thread([&state, request, check] {
        std::string text = check(request);
        std::lock_guard<std::mutex> lock(state.mutex);
        state.result = std::move(text);
        state.running = false;
        // Posted under the lock: the receiver cannot be unregistered, and so
        // cannot be destroyed, between the check and the post.
        if (state.receiver != nullptr && state.deliver)
            QMetaObject::invokeMethod(state.receiver, state.deliver, Qt::QueuedConnection);
        state.idle.notify_all();
    }).detach();
    return true;
}

bool CVersionCheck::IsRunning() const {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.running;
}

std::string CVersionCheck::GetResult() const {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.result;
}

void CVersionCheck::SetReceiver(QObject* receiver, std::function<void()> deliver) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.receiver = receiver;
    state.deliver = receiver != nullptr ? std::move(deliver) : std::function<void()>();
}

void CVersionCheck::ClearReceiver(QObject* receiver) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.receiver == receiver) {
        state.receiver = nullptr;
        state.deliver = nullptr;
    }
}

int CVersionCheck::StartedCount() const {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.started;
}

bool CVersionCheck::WaitIdle(int timeoutMs) const {
    State& state = TheState();
    std::unique_lock<std::mutex> lock(state.mutex);
    return state.idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&state] { return !state.running; });
}

void CVersionCheck::SetCheckFunction(std::function<std::string(const VersionCheckRequest&)> check) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.check = std::move(check);
}

} // namespace corvale
