#pragma once
// A few threads for the lobby's slow work (password hashing). A job runs on one of them and
// the function it returns is handed to Deliver, which brings it back to the loop's thread.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkerPool {
public:
  using TDone = std::function<void()>;
  using TJob = std::function<TDone()>;

  TWorkerPool(int Threads, std::function<void(TDone)> Deliver);
  // Jobs not yet started are dropped; running ones finish first.
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  void Submit(TJob Job);
  // A quarter of the processors, 1 to 4: the loop and the system keep the rest.
  static int DefaultThreads();

private:
  void Work();

  std::function<void(TDone)> FDeliver;
  std::mutex FLock;
  std::condition_variable FWake;
  std::deque<TJob> FJobs;
  bool FStopping = false;
  std::vector<std::thread> FThreads;
};
