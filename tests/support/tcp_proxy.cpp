#include "tests/support/tcp_proxy.h"

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

namespace testsupport {

namespace {

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
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string data;
};

}  // namespace

TcpProxy::TcpProxy(std::string targetHost, int targetPort)
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
        throw std::runtime_error("proxy: cannot listen");
    socklen_t len = sizeof a;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

TcpProxy::~TcpProxy() {
    stop_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    ::close(listenFd_);
    if (acceptThread_.joinable()) acceptThread_.join();
    cutAll();
    std::vector<std::thread> relays;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        relays.swap(relays_);
    }
    for (auto& t : relays)
        if (t.joinable()) t.join();
}

void TcpProxy::cutAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
}

void TcpProxy::acceptLoop() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int client = ::accept(listenFd_, nullptr, nullptr);
        if (client < 0) continue;
        ++accepted_;
        if (dropAll_ || dropNext_ > 0) {
            if (dropNext_ > 0) --dropNext_;
            ::close(client);
            continue;
        }
        int one = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard<std::mutex> lock(mutex_);
        relays_.emplace_back([this, client] { relay(client); });
    }
}

void TcpProxy::relay(int client) {
    int server = connectTo(host_, targetPort_);
    if (server < 0) {
        ::close(client);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        openFds_.push_back(client);
        openFds_.push_back(server);
    }
    // Each direction keeps a queue of chunks released after the delay, so latency is added
    // without throttling the throughput.
    std::deque<Chunk> toServer, toClient;
    std::uint64_t fromClient = 0;
    bool clientOpen = true, serverOpen = true;
    char buf[65536];
    while (!stop_ && (clientOpen || !toServer.empty()) && (serverOpen || !toClient.empty())) {
        const auto now = Clock::now();
        auto flush = [&](std::deque<Chunk>& q, int fd) {
            while (!q.empty() && q.front().due <= now) {
                const std::string& d = q.front().data;
                size_t off = 0;
                while (off < d.size()) {
                    ssize_t w = ::send(fd, d.data() + off, d.size() - off, MSG_NOSIGNAL);
                    if (w <= 0) return false;
                    off += static_cast<size_t>(w);
                }
                q.pop_front();
            }
            return true;
        };
        if (!flush(toServer, server) || !flush(toClient, client)) break;
        int timeout = 50;
        for (auto* q : {&toServer, &toClient})
            if (!q->empty()) {
                auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(q->front().due -
                                                                                now)
                              .count();
                timeout = std::min<int>(timeout, static_cast<int>(std::max<long long>(ms, 0)));
            }
        pollfd p[2] = {{client, static_cast<short>(clientOpen ? POLLIN : 0), 0},
                       {server, static_cast<short>(serverOpen ? POLLIN : 0), 0}};
        if (::poll(p, 2, timeout) < 0) break;
        const auto due = Clock::now() + std::chrono::milliseconds(delayMs_.load());
        if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0) {
                clientOpen = false;
            } else {
                fromClient += static_cast<std::uint64_t>(n);
                toServer.push_back({due, std::string(buf, static_cast<size_t>(n))});
                const std::uint64_t cut = cutAfter_;
                if (cut > 0 && fromClient >= cut) break;
            }
        }
        if (p[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(server, buf, sizeof buf, 0);
            if (n <= 0)
                serverOpen = false;
            else
                toClient.push_back({due, std::string(buf, static_cast<size_t>(n))});
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

}  // namespace testsupport
