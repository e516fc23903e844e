#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A TCP relay on a free loopback port in front of a real server, for the faults a real server
// does not produce on request: refused or dropped connections, a connection cut in the middle
// of a statement, and added latency (round-trip time) for the benchmarks.
class TcpProxy {
public:
    TcpProxy(std::string targetHost, int targetPort);
    ~TcpProxy();
    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    int port() const { return port_; }

    // The next n accepted connections are closed at once, before any byte is relayed.
    void dropNext(int n) { dropNext_ = n; }
    // Every accepted connection is closed at once.
    void dropAll(bool on) { dropAll_ = on; }
    // Closes every relayed connection now.
    void cutAll();
    // Cuts a connection after it has relayed this many bytes from the client (0 = never).
    void cutAfterClientBytes(std::uint64_t n) { cutAfter_ = n; }
    // Delay added to each direction, so a round trip costs 2 × ms more.
    void setOneWayDelayMs(int ms) { delayMs_ = ms; }

    int accepted() const { return accepted_; }

private:
    void acceptLoop();
    void relay(int client);

    std::string host_;
    int targetPort_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> dropNext_{0};
    std::atomic<bool> dropAll_{false};
    std::atomic<std::uint64_t> cutAfter_{0};
    std::atomic<int> delayMs_{0};
    std::atomic<int> accepted_{0};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<int> openFds_;
    std::vector<std::thread> relays_;
};

}  // namespace testsupport
