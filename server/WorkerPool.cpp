#include "server/WorkerPool.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

TWorkerPool::TWorkerPool(int Threads, std::function<void(TDone)> Deliver) : FDeliver(std::move(Deliver)) {
  for (int I = 0; I < std::max(1, Threads); ++I) FThreads.emplace_back([this] { Work(); });
}

TWorkerPool::~TWorkerPool() {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FStopping = true;
    FJobs.clear();
  }
  FWake.notify_all();
  for (std::thread& T : FThreads) T.join();
}

int TWorkerPool::DefaultThreads() {
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()) / 4, 1, 4);
}

void TWorkerPool::Submit(TJob Job) {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    if (FStopping) return;
    FJobs.push_back(std::move(Job));
  }
  FWake.notify_one();
}

void TWorkerPool::Work() {
  // Below the loop's thread, so hashing never takes the processor from the guests' lines.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
  while (true) {
    TJob Job;
    {
      std::unique_lock<std::mutex> Guard(FLock);
      FWake.wait(Guard, [this] { return FStopping || !FJobs.empty(); });
      if (FStopping) return;
      Job = std::move(FJobs.front());
      FJobs.pop_front();
    }
    FDeliver(Job());
  }
}
