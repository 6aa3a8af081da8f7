#pragma once
// The About dialog's online check for a newer version: one plain HTTP GET to
// the version server, whose raw exchange (our request, an empty line, then
// the reply with its headers) is shown to the user as it comes.
//
// The request runs on one worker thread at a time. The worker touches no
// widget and no Qt object: it only fills the process-wide result, and hands
// it to the user-interface thread by posting to the receiver the dialog
// registered. A dialog unregisters itself (under the same lock the worker
// posts under) before it goes, so a late reply is kept in the result and
// dropped on the floor rather than delivered into a destroyed window.

#include <cstddef>
#include <functional>
#include <string>

class QObject;

namespace corvale {

// What the check asks and where.
struct VersionCheckRequest {
    std::string host;
    unsigned short port = 80;
    // The version the program reports (as in "2.1.00").
    std::string version;
    // The whole check, from connecting to the last byte of the reply, gives
    // up after this many milliseconds: a server that keeps trickling bytes
    // must not keep the worker for ever.
    int deadlineMs = 30000;
};

// At most this many bytes of the reply are kept; the rest is not read.
constexpr std::size_t kVersionReplyLimit = 16384;
// Connecting, and waiting for each further part of the reply, give up after
// these many milliseconds.
constexpr int kVersionConnectTimeoutMs = 10000;
constexpr int kVersionReceiveTimeoutMs = 10000;

// The request text: an HTTP/1.0 GET of the version note with the Host,
// Accept and User-Agent headers, ended by an empty line.
std::string FormatVersionRequest(const VersionCheckRequest& request);

// "Error connecting to " followed by the host name.
std::string VersionCheckErrorText(const std::string& host);
// "Connecting to " followed by the host name and "...".
std::string VersionCheckConnectingText(const std::string& host);

// Runs the check on the calling thread and returns the text to show: the
// request, "\r\n\r\n" and the reply as far as the server sent it before
// closing the connection, cut after kVersionReplyLimit bytes. A failed name
// look-up, connection or send, or a reply that never starts, gives the
// error text, and so does a check that runs past the request's deadline.
std::string CheckOnlineVersion(const VersionCheckRequest& request);

// The process-wide state of the check: the last result and whether a worker
// runs. Every member is called on the user-interface thread.
class CVersionCheck {
public:
    static CVersionCheck& Instance();

    // Starts a worker for the request unless one runs; the result becomes
    // the connecting text. True when a worker was started.
    bool Start(const VersionCheckRequest& request);
    bool IsRunning() const;
    // The last result (empty before the first check).
    std::string GetResult() const;

    // The object that hears of a finished check: deliver runs on its thread
    // (through its event queue) after the result was stored. Null, or a
    // second call, replaces the former one; a receiver must be cleared
    // before it is destroyed.
    void SetReceiver(QObject* receiver, std::function<void()> deliver);
    void ClearReceiver(QObject* receiver);

    // How many workers were started in this process (for the tests).
    int StartedCount() const;
    // Waits until no worker runs; false after timeoutMs (for the tests and
    // for an orderly end of the process).
    bool WaitIdle(int timeoutMs) const;

    // Replaces the check itself (for the tests); null restores CheckOnlineVersion.
    void SetCheckFunction(std::function<std::string(const VersionCheckRequest&)> check);

private:
    CVersionCheck() = default;
    struct State;
    static State& TheState();
};

} // namespace corvale
