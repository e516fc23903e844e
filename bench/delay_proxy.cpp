#include "bench/delay_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <stdexcept>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string data;
};

void noDelay(int fd) {
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int connectTo(const std::string& host, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    noDelay(fd);
    return fd;
}

// Sends every due chunk; false when the peer is gone.
bool flush(std::deque<Chunk>& q, int fd, Clock::time_point now) {
    while (!q.empty() && q.front().due <= now) {
        const std::string& d = q.front().data;
        size_t off = 0;
        while (off < d.size()) {
            const ssize_t w = ::send(fd, d.data() + off, d.size() - off, MSG_NOSIGNAL);
            if (w <= 0) return false;
            off += static_cast<size_t>(w);
        }
        q.pop_front();
    }
    return true;
}

}  // namespace

DelayProxy::DelayProxy(std::string targetHost, int targetPort)
    : host_(std::move(targetHost)), targetPort_(targetPort) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = 0;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listenFd_, 64) != 0)
        throw std::runtime_error("delay proxy: cannot listen");
    socklen_t len = sizeof a;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

DelayProxy::~DelayProxy() {
    stop_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    ::close(listenFd_);
    if (acceptThread_.joinable()) acceptThread_.join();
    std::vector<std::thread> relays;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
        relays.swap(relays_);
    }
    for (auto& t : relays)
        if (t.joinable()) t.join();
}

DelayProxy::Counts DelayProxy::counts() const {
    Counts c;
    c.connections = connections_;
    c.serverFlights = serverFlights_;
    c.clientFlights = clientFlights_;
    c.bytesToServer = bytesToServer_;
    c.bytesToClient = bytesToClient_;
    return c;
}

void DelayProxy::acceptLoop() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept(listenFd_, nullptr, nullptr);
        if (client < 0) continue;
        ++connections_;
        noDelay(client);
        std::lock_guard<std::mutex> lock(mutex_);
        relays_.emplace_back([this, client] { relay(client); });
    }
}

void DelayProxy::relay(int client) {
    const auto accepted = Clock::now();
    const int server = connectTo(host_, targetPort_);
    if (server < 0) {
        ::close(client);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        openFds_.push_back(client);
        openFds_.push_back(server);
    }
    const auto oneWay = std::chrono::milliseconds(delayMs_.load());
    // On a real network the client's connect() returns after one round trip and the server
    // accepts half a round trip later; its greeting then travels one more way. The loopback
    // connect returned at once, so the greeting arrives four one-way delays after it.
    const auto firstAnswer = accepted + 4 * oneWay;
    std::deque<Chunk> toServer, toClient;
    enum class Side { None, Client, Server } last = Side::None;
    bool clientOpen = true, serverOpen = true;
    std::vector<char> buf(1 << 16);
    while (!stop_ && (clientOpen || !toServer.empty()) && (serverOpen || !toClient.empty())) {
        const auto now = Clock::now();
        if (!flush(toServer, server, now) || !flush(toClient, client, now)) break;
        int timeout = 50;
        for (const auto* q : {&toServer, &toClient})
            if (!q->empty()) {
                const auto us =
                    std::chrono::duration_cast<std::chrono::microseconds>(q->front().due - now)
                        .count();
                // Round up, so the loop does not spin through the last millisecond.
                timeout = std::min<int>(
                    timeout, static_cast<int>(std::max<long long>((us + 999) / 1000, 0)));
            }
        pollfd p[2] = {{client, static_cast<short>(clientOpen ? POLLIN : 0), 0},
                       {server, static_cast<short>(serverOpen ? POLLIN : 0), 0}};
        if (::poll(p, 2, timeout) < 0) break;
        const auto due = Clock::now() + oneWay;
        if (clientOpen && (p[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::recv(client, buf.data(), buf.size(), 0);
            if (n <= 0) {
                clientOpen = false;
            } else {
                if (last != Side::Client) ++clientFlights_;
                last = Side::Client;
                bytesToServer_ += static_cast<std::uint64_t>(n);
                toServer.push_back({due, std::string(buf.data(), static_cast<size_t>(n))});
            }
        }
        if (serverOpen && (p[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::recv(server, buf.data(), buf.size(), 0);
            if (n <= 0) {
                serverOpen = false;
            } else {
                if (last != Side::Server) ++serverFlights_;
                last = Side::Server;
                bytesToClient_ += static_cast<std::uint64_t>(n);
                toClient.push_back(
                    {std::max(due, firstAnswer), std::string(buf.data(), static_cast<size_t>(n))});
            }
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        openFds_.erase(std::remove_if(openFds_.begin(), openFds_.end(),
                                      [&](int fd) { return fd == client || fd == server; }),
                       openFds_.end());
    }
    ::close(client);
    ::close(server);
}

}  // namespace bench
