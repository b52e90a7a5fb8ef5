// A TCP proxy that holds every chunk it relays for a fixed time in each
// direction, as a network link with that one-way latency would. Throughput
// is not limited: chunks that arrive while earlier ones wait are queued
// behind them, each delivered its own delay after it arrived.
//
//   delay_proxy LISTEN_PORT TARGET_HOST TARGET_PORT [DELAY_MICROSECONDS]   (default 1000)
//
// Prints "listening on 127.0.0.1:PORT" once it accepts connections. POSIX
// only; it serves the benchmarks, not the product.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
  Clock::time_point due;
  std::vector<char> data;  // empty: the sender closed its side
};

// One direction of one connection: a reader that stamps each chunk with its
// delivery time and a writer that delivers it then.
class Direction {
 public:
  Direction(int from, int to, Clock::duration delay) : from_(from), to_(to), delay_(delay) {}

  void run() {
    std::thread writer([this] { deliver(); });
    std::vector<char> buf(1 << 16);
    for (;;) {
      const ssize_t n = ::read(from_, buf.data(), buf.size());
      std::lock_guard lock(mutex_);
      queue_.push_back(
          {Clock::now() + delay_, n > 0 ? std::vector<char>(buf.begin(), buf.begin() + n) : std::vector<char>()});
      ready_.notify_one();
      if (n <= 0) break;
    }
    writer.join();
  }

 private:
  void deliver() {
    for (;;) {
      Chunk c;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !queue_.empty(); });
        c = std::move(queue_.front());
        queue_.pop_front();
      }
      std::this_thread::sleep_until(c.due);
      if (c.data.empty()) break;
      for (std::size_t sent = 0; sent < c.data.size();) {
        const ssize_t n = ::write(to_, c.data.data() + sent, c.data.size() - sent);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
      }
    }
    ::shutdown(to_, SHUT_WR);
  }

  int from_, to_;
  Clock::duration delay_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Chunk> queue_;
};

int connectTo(const char* host, const char* port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (getaddrinfo(host, port, &hints, &res) != 0) return -1;
  int fd = -1;
  for (addrinfo* a = res; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(res);
  return fd;
}

void noDelay(int fd) {
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s LISTEN_PORT TARGET_HOST TARGET_PORT [DELAY_MICROSECONDS]\n", argv[0]);
    return 2;
  }
  const auto delay = std::chrono::microseconds(argc > 4 ? std::atol(argv[4]) : 1000);
  prctl(PR_SET_TIMERSLACK, 1UL);  // wake on time, not up to 50 us late
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[1])));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 16) != 0) {
    std::perror("delay_proxy: listen");
    return 1;
  }
  std::printf("listening on 127.0.0.1:%s\n", argv[1]);
  std::fflush(stdout);
  for (;;) {
    const int client = accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    std::thread([client, host = std::string(argv[2]), port = std::string(argv[3]), delay] {
      const int server = connectTo(host.c_str(), port.c_str());
      if (server < 0) {
        close(client);
        return;
      }
      noDelay(client);
      noDelay(server);
      Direction up(client, server, delay), down(server, client, delay);
      std::thread t([&] { up.run(); });
      down.run();
      t.join();
      close(client);
      close(server);
    }).detach();
  }
}
