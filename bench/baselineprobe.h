#pragma once

#include <atomic>
#include <chrono>
#include <thread>

// The machine's own scheduling noise: a thread that does nothing but wake
// every 5 ms, as the panel's stall probe does. On a machine shared with
// builds, a panel stall that this thread saw too is the machine's, not the
// panel's.
class BaselineProbe
{
public:
    BaselineProbe()
        : thread_([this] {
              auto last = std::chrono::steady_clock::now();
              while (!stop_) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
                  const auto now = std::chrono::steady_clock::now();
                  const double gap = std::chrono::duration<double, std::milli>(now - last).count();
                  last = now;
                  double cur = longest_.load();
                  while (gap > cur && !longest_.compare_exchange_weak(cur, gap)) {
                  }
              }
          })
    {
    }
    ~BaselineProbe()
    {
        stop_ = true;
        thread_.join();
    }
    BaselineProbe(const BaselineProbe &) = delete;
    BaselineProbe &operator=(const BaselineProbe &) = delete;

    // The longest gap since the last call.
    double take() { return longest_.exchange(0); }

private:
    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::thread thread_;
};
