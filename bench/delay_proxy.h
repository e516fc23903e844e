#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// A relay on a free loopback port in front of the database server that makes the loopback
// look like a distant server: every byte waits a fixed one-way delay in each direction, and
// the server's first bytes on a connection wait as long as the TCP handshake of a real
// network would have kept them (the server accepts only after SYN, SYN-ACK, ACK). Queued
// chunks are released on time whatever their number, so latency is added without throttling
// the throughput.
//
// It also counts the turns of each conversation: a flight is a run of bytes in one direction
// until the other side speaks. Server flights are the answers a client waited for, so they
// are the round trips of an operation.
class DelayProxy {
public:
    DelayProxy(std::string targetHost, int targetPort);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    int port() const { return port_; }
    void setOneWayDelayMs(int ms) { delayMs_ = ms; }
    int oneWayDelayMs() const { return delayMs_; }

    struct Counts {
        std::uint64_t connections = 0;
        std::uint64_t serverFlights = 0;
        std::uint64_t clientFlights = 0;
        std::uint64_t bytesToServer = 0;
        std::uint64_t bytesToClient = 0;
    };
    Counts counts() const;

private:
    void acceptLoop();
    void relay(int client);

    std::string host_;
    int targetPort_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> delayMs_{0};
    std::atomic<std::uint64_t> connections_{0};
    std::atomic<std::uint64_t> serverFlights_{0};
    std::atomic<std::uint64_t> clientFlights_{0};
    std::atomic<std::uint64_t> bytesToServer_{0};
    std::atomic<std::uint64_t> bytesToClient_{0};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<int> openFds_;
    std::vector<std::thread> relays_;
};

}  // namespace bench
