#pragma once
// What ends with a thread besides the thread itself. The module that keeps
// windows and message queues per thread sets the handlers once it is loaded;
// Thread and ExitCurrentThread run them as the thread ends.

namespace platform {

class Event;

using ThreadEndHandler = void (*)();

// destroyWindows runs first, as a thread's windows die with it; then
// releaseMessageQueue, after which posts to the thread fail.
void SetThreadEndHandlers(ThreadEndHandler destroyWindows, ThreadEndHandler releaseMessageQueue);

void DestroyEndingThreadWindows();
void ReleaseEndingThreadMessageQueue();

// Everything that ends with a thread of ours, as its body ends however it
// ends: its windows, its message queue, then its finished event is set and a
// foreground thread is no longer counted.
void FinishEndingThread(Event& finished, bool background);

}  // namespace platform
