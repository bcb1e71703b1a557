#pragma once
// Hidden windows and thread message queues. A window belongs to the thread
// that created it; its messages are dispatched on that thread by the
// GetMessage / DispatchMessage loop. Any thread may post to it.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/thread.h"

namespace platform {

using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

constexpr MessageId WM_DESTROY = 0x0002;
constexpr MessageId WM_QUIT = 0x0012;
constexpr MessageId WM_USER = 0x0400;

class Window;
using WindowHandle = Window*;

using WindowProc = std::function<LResult(WindowHandle, MessageId, WParam, LParam)>;

struct Message {
  WindowHandle window = nullptr;  // null for a thread message
  MessageId message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  // Which window lived at that address when the message was posted, so that a
  // message left over from a destroyed window never reaches a later one.
  std::uint64_t windowSerial = 0;
};

// Creates a hidden window owned by the calling thread (and that thread's
// message queue if it has none yet). Null when proc is empty.
WindowHandle CreateHiddenWindow(std::string title, std::uint32_t style, WindowProc proc);

// On the owner's thread: sends WM_DESTROY to the handler, then the window is
// gone. From another thread the destruction is posted to the owner and runs
// when the owner dispatches it. False for a window that no longer exists.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);
std::string GetWindowTitle(WindowHandle window);
std::uint32_t GetWindowStyle(WindowHandle window);
ThreadId GetWindowThreadId(WindowHandle window);

// Queues a message for the window's owner; false when the window is gone.
bool PostMessage(WindowHandle window, MessageId message, WParam wParam, LParam lParam);
// Queues a thread message; false when that thread has no message queue.
bool PostThreadMessage(ThreadId thread, MessageId message, WParam wParam, LParam lParam);
// Posts WM_QUIT with the exit code to the calling thread's own queue.
void PostQuitMessage(int exitCode);

// Destroys every window that the calling thread owns, as happens when a thread
// ends.
void DestroyThreadWindows();
// Removes the calling thread's message queue, as happens when a thread ends:
// later posts to the thread fail.
void ReleaseThreadMessageQueue();

// Makes sure the calling thread has a message queue, so that thread messages
// posted to it before its first GetMessage are kept.
void EnsureMessageQueue();

// Waits for the next message of the calling thread. False when it is WM_QUIT.
bool GetMessage(Message& message);
// Takes the next message if one is waiting; false when the queue is empty.
bool PeekMessage(Message& message);
// Runs the window's handler for a window message (0 for thread messages and
// for windows that are gone).
LResult DispatchMessage(const Message& message);

}  // namespace platform
