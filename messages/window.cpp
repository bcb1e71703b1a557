#include "messages/window.h"

#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/critical_section.h"
#include "platform/thread_end.h"

namespace platform {

class Window {
 public:
  Window(std::string title, std::uint32_t style, WindowProc proc, ThreadId owner, std::uint64_t serial)
      : title(std::move(title)), style(style), proc(std::move(proc)), owner(owner), serial(serial) {}
  const std::string title;
  const std::uint32_t style;
  const WindowProc proc;
  const ThreadId owner;
  const std::uint64_t serial;
  // Touched only on the owner's thread: a window destroyed from inside its
  // own handler is deleted once the handler has returned.
  int dispatchDepth = 0;
  bool deletePending = false;
};

namespace {

// Posted to the owner when another thread destroys one of its windows.
constexpr MessageId kDestroyRequest = 0xFFFF0001;

class MessageQueue {
 public:
  void Post(const Message& message) EXCLUDES(mutex_) {
    {
      ScopedLock lock(mutex_);
      messages_.push_back(message);
    }
    available_.NotifyOne();
  }

  Message Take() EXCLUDES(mutex_) {
    ScopedLock lock(mutex_);
    while (messages_.empty()) available_.Wait(mutex_);
    return PopFront();
  }

  bool TryTake(Message& message) EXCLUDES(mutex_) {
    ScopedLock lock(mutex_);
    if (messages_.empty()) return false;
    message = PopFront();
    return true;
  }

 private:
  Message PopFront() REQUIRES(mutex_) {
    Message message = messages_.front();
    messages_.pop_front();
    return message;
  }

  CriticalSection mutex_;
  ConditionVariable available_;
  std::deque<Message> messages_ GUARDED_BY(mutex_);
};

// Every message queue by owning thread, and every live window. Queues are
// shared so that a poster keeps one alive while its thread ends.
struct Registry {
  CriticalSection mutex;
  std::unordered_map<ThreadId, std::shared_ptr<MessageQueue>> queues GUARDED_BY(mutex);
  std::unordered_set<Window*> windows GUARDED_BY(mutex);
  std::uint64_t nextSerial GUARDED_BY(mutex) = 1;
};

Registry& TheRegistry() {
  static auto* registry = new Registry;  // outlives every thread's exit
  return *registry;
}

std::shared_ptr<MessageQueue> FindQueueLocked(Registry& registry, ThreadId thread) REQUIRES(registry.mutex) {
  auto found = registry.queues.find(thread);
  return found == registry.queues.end() ? nullptr : found->second;
}

std::shared_ptr<MessageQueue> FindQueue(ThreadId thread) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return FindQueueLocked(registry, thread);
}

// Queues a message for a live window's owner; false when the window is gone.
bool PostToOwner(WindowHandle window, MessageId message, WParam wParam, LParam lParam) {
  std::shared_ptr<MessageQueue> queue;
  std::uint64_t serial = 0;
  {
    Registry& registry = TheRegistry();
    ScopedLock lock(registry.mutex);
    if (!window || registry.windows.count(window) == 0) return false;
    queue = FindQueueLocked(registry, window->owner);
    serial = window->serial;
  }
  if (!queue) return false;
  queue->Post({window, message, wParam, lParam, serial});
  return true;
}

// The owner of a live window, read under the lock; 0 when it is gone.
ThreadId OwnerOf(WindowHandle window) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  if (!window || registry.windows.count(window) == 0) return 0;
  return window->owner;
}

// True when the message's window still lives and is the one it was posted to.
bool IsSameLiveWindow(const Message& message) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return message.window && registry.windows.count(message.window) != 0 &&
         message.window->serial == message.windowSerial;
}

void DestroyWindowsOf(ThreadId owner);

// Destroys the thread's windows and removes its queue when the thread ends.
struct QueueOwnership {
  ThreadId thread = 0;
  std::shared_ptr<MessageQueue> queue;
  ~QueueOwnership() { Release(); }
  void Release() {
    if (!queue) return;
    DestroyWindowsOf(thread);
    Registry& registry = TheRegistry();
    ScopedLock lock(registry.mutex);
    registry.queues.erase(thread);
    queue.reset();
  }
};

thread_local QueueOwnership ownership;

MessageQueue& OwnQueue() {
  if (!ownership.queue) {
    ownership.thread = CurrentThreadId();
    ownership.queue = std::make_shared<MessageQueue>();
    Registry& registry = TheRegistry();
    ScopedLock lock(registry.mutex);
    registry.queues[ownership.thread] = ownership.queue;
  }
  return *ownership.queue;
}

bool IsLive(WindowHandle window) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return window && registry.windows.count(window) != 0;
}

// Removes the window from the registry; true for the caller that removed it.
bool Unregister(WindowHandle window) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return registry.windows.erase(window) != 0;
}

LResult CallHandler(WindowHandle window, MessageId message, WParam wParam, LParam lParam) {
  ++window->dispatchDepth;
  const LResult result = window->proc(window, message, wParam, lParam);
  if (--window->dispatchDepth == 0 && window->deletePending) delete window;
  return result;
}

void DestroyOnOwnerThread(WindowHandle window) {
  if (!IsLive(window)) return;
  ++window->dispatchDepth;
  window->proc(window, WM_DESTROY, 0, 0);
  --window->dispatchDepth;
  if (!Unregister(window)) return;
  if (window->dispatchDepth == 0) {
    delete window;
  } else {
    window->deletePending = true;
  }
}

void DestroyWindowsOf(ThreadId owner) {
  std::vector<WindowHandle> owned;
  {
    Registry& registry = TheRegistry();
    ScopedLock lock(registry.mutex);
    for (Window* window : registry.windows) {
      if (window->owner == owner) owned.push_back(window);
    }
  }
  for (WindowHandle window : owned) DestroyOnOwnerThread(window);
}

}  // namespace

void DestroyThreadWindows() { DestroyWindowsOf(CurrentThreadId()); }

void ReleaseThreadMessageQueue() { ownership.Release(); }

void EnsureMessageQueue() { OwnQueue(); }

namespace {
// A thread's windows and queue go when it ends, also through ExitCurrentThread.
[[maybe_unused]] const bool threadEndHandlersSet = (SetThreadEndHandlers(DestroyThreadWindows, ReleaseThreadMessageQueue), true);
}  // namespace

WindowHandle CreateHiddenWindow(std::string title, std::uint32_t style, WindowProc proc) {
  if (!proc) return nullptr;
  OwnQueue();
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  auto* window = new Window(std::move(title), style, std::move(proc), CurrentThreadId(), registry.nextSerial++);
  registry.windows.insert(window);
  return window;
}

bool DestroyWindow(WindowHandle window) {
  const ThreadId owner = OwnerOf(window);
  if (owner == 0) return false;
  if (owner == CurrentThreadId()) {
    DestroyOnOwnerThread(window);
    return true;
  }
  return PostToOwner(window, kDestroyRequest, 0, 0);
}

bool IsWindow(WindowHandle window) { return IsLive(window); }

std::string GetWindowTitle(WindowHandle window) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return registry.windows.count(window) ? window->title : std::string();
}

std::uint32_t GetWindowStyle(WindowHandle window) {
  Registry& registry = TheRegistry();
  ScopedLock lock(registry.mutex);
  return registry.windows.count(window) ? window->style : 0;
}

ThreadId GetWindowThreadId(WindowHandle window) { return OwnerOf(window); }

bool PostMessage(WindowHandle window, MessageId message, WParam wParam, LParam lParam) {
  return PostToOwner(window, message, wParam, lParam);
}

bool PostThreadMessage(ThreadId thread, MessageId message, WParam wParam, LParam lParam) {
  auto queue = FindQueue(thread);
  if (!queue) return false;
  queue->Post({nullptr, message, wParam, lParam});
  return true;
}

void PostQuitMessage(int exitCode) { OwnQueue().Post({nullptr, WM_QUIT, static_cast<WParam>(exitCode), 0}); }

bool GetMessage(Message& message) {
  message = OwnQueue().Take();
  return message.message != WM_QUIT;
}

bool PeekMessage(Message& message) { return OwnQueue().TryTake(message); }

LResult DispatchMessage(const Message& message) {
  if (!IsSameLiveWindow(message) || message.window->owner != CurrentThreadId()) return 0;
  if (message.message == kDestroyRequest) {
    DestroyOnOwnerThread(message.window);
    return 0;
  }
  return CallHandler(message.window, message.message, message.wParam, message.lParam);
}

}  // namespace platform
