#include "platform/thread_end.h"

#include <atomic>

#include "platform/event.h"
#include "platform/foreground_threads.h"

namespace platform {

namespace {

std::atomic<ThreadEndHandler> windowsHandler{nullptr};
std::atomic<ThreadEndHandler> queueHandler{nullptr};

void Run(const std::atomic<ThreadEndHandler>& handler) {
  if (ThreadEndHandler run = handler.load()) run();
}

}  // namespace

void SetThreadEndHandlers(ThreadEndHandler destroyWindows, ThreadEndHandler releaseMessageQueue) {
  windowsHandler.store(destroyWindows);
  queueHandler.store(releaseMessageQueue);
}

void DestroyEndingThreadWindows() { Run(windowsHandler); }

void ReleaseEndingThreadMessageQueue() { Run(queueHandler); }

void FinishEndingThread(Event& finished, bool background) {
  DestroyEndingThreadWindows();
  ReleaseEndingThreadMessageQueue();
  finished.Set();
  if (!background) TheForegroundThreads().Remove();
}

}  // namespace platform
