#pragma once
// What ends with a thread besides the thread itself. The module that keeps
// windows and message queues per thread sets the handlers once it is loaded;
// Thread and ExitCurrentThread run them as the thread ends.

namespace platform {

using ThreadEndHandler = void (*)();

// destroyWindows runs first, as a thread's windows die with it; then
// releaseMessageQueue, after which posts to the thread fail.
void SetThreadEndHandlers(ThreadEndHandler destroyWindows, ThreadEndHandler releaseMessageQueue);

void DestroyEndingThreadWindows();
void ReleaseEndingThreadMessageQueue();

}  // namespace platform
