#include "messages/window.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/event.h"
#include "platform/thread.h"

namespace platform {
namespace {

constexpr MessageId kTestMessage = WM_USER + 1;
constexpr MessageId kStopMessage = WM_USER + 2;

// Dispatches until the handler has seen kStopMessage.
void PumpUntilStopped(bool& stopped) {
  Message message;
  while (!stopped && GetMessage(message)) DispatchMessage(message);
}

TEST(WindowTest, ManyThreadsPostingToOneWindowLoseNothingAndKeepOrderPerSender) {
  constexpr int kSenders = 6;
  constexpr int kPerSender = 2000;
  std::map<WParam, std::vector<LParam>> received;
  bool stopped = false;
  WindowHandle window = CreateHiddenWindow("test", 0, [&](WindowHandle, MessageId id, WParam w, LParam l) {
    if (id == kTestMessage) received[w].push_back(l);
    if (id == kStopMessage) stopped = true;
    return LResult{1};
  });
  ASSERT_NE(window, nullptr);
  std::vector<Thread> senders(kSenders);
  for (int s = 0; s < kSenders; ++s) {
    ASSERT_TRUE(senders[s].Start([window, s] {
      for (int i = 0; i < kPerSender; ++i) PostMessage(window, kTestMessage, static_cast<WParam>(s), i);
      return 0u;
    }));
  }
  for (Thread& sender : senders) sender.Join();
  ASSERT_TRUE(PostMessage(window, kStopMessage, 0, 0));
  PumpUntilStopped(stopped);
  ASSERT_EQ(received.size(), static_cast<std::size_t>(kSenders));
  for (auto& [sender, values] : received) {
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kPerSender)) << "sender " << sender;
    for (int i = 0; i < kPerSender; ++i) ASSERT_EQ(values[i], i);
  }
  EXPECT_TRUE(DestroyWindow(window));
}

TEST(WindowTest, DestroyDeliversWmDestroyAndLaterPostsFail) {
  std::vector<MessageId> seen;
  WindowHandle window = CreateHiddenWindow("Vigilix Window", 0x28000000, [&](WindowHandle, MessageId id, WParam, LParam) {
    seen.push_back(id);
    return LResult{0};
  });
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindowTitle(window), "Vigilix Window");
  EXPECT_EQ(GetWindowStyle(window), 0x28000000u);
  EXPECT_EQ(GetWindowThreadId(window), CurrentThreadId());
  ASSERT_TRUE(PostMessage(window, kTestMessage, 0, 0));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(seen, std::vector<MessageId>{WM_DESTROY});
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(PostMessage(window, kTestMessage, 0, 0));
  EXPECT_FALSE(DestroyWindow(window));
  Message message;
  ASSERT_TRUE(PeekMessage(message)) << "the message posted before destruction is still queued";
  EXPECT_EQ(DispatchMessage(message), 0) << "but is not delivered to a destroyed window";
  EXPECT_EQ(seen.size(), 1u);
}

TEST(WindowTest, DestroyFromAnotherThreadRunsOnTheOwnersThread) {
  ThreadId handlerThread = 0;
  WindowHandle window = CreateHiddenWindow("w", 0, [&](WindowHandle, MessageId id, WParam, LParam) {
    if (id == WM_DESTROY) handlerThread = CurrentThreadId();
    return LResult{0};
  });
  Thread other;
  ASSERT_TRUE(other.Start([window] { return DestroyWindow(window) ? 1u : 0u; }));
  other.Join();
  EXPECT_EQ(other.ExitCode(), 1u);
  EXPECT_EQ(handlerThread, 0u) << "nothing runs before the owner dispatches";
  Message message;
  ASSERT_TRUE(PeekMessage(message));
  DispatchMessage(message);
  EXPECT_EQ(handlerThread, CurrentThreadId());
  EXPECT_FALSE(IsWindow(window));
}

TEST(WindowTest, AWindowMayDestroyItselfFromItsOwnHandler) {
  int destroyCount = 0;
  WindowHandle window = CreateHiddenWindow("w", 0, [&](WindowHandle self, MessageId id, WParam, LParam) {
    if (id == kTestMessage) DestroyWindow(self);
    if (id == WM_DESTROY) ++destroyCount;
    return LResult{0};
  });
  ASSERT_TRUE(PostMessage(window, kTestMessage, 0, 0));
  Message message;
  ASSERT_TRUE(PeekMessage(message));
  DispatchMessage(message);
  EXPECT_EQ(destroyCount, 1);
  EXPECT_FALSE(IsWindow(window));
}

TEST(WindowTest, ThreadMessagesReachTheThreadAndQuitEndsTheLoop) {
  Event ready(true, false);
  std::vector<Message> got;
  Thread receiver;
  ASSERT_TRUE(receiver.Start([&] {
    EnsureMessageQueue();
    ready.Set();
    Message message;
    while (GetMessage(message)) got.push_back(message);
    return static_cast<std::uint32_t>(message.wParam);
  }));
  ASSERT_TRUE(ready.Wait(5000));
  const ThreadId id = receiver.Id();
  EXPECT_TRUE(PostThreadMessage(id, 0x84C, 7, 9));
  EXPECT_TRUE(PostThreadMessage(id, WM_QUIT, 3, 0));
  receiver.Join();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, 0x84Cu);
  EXPECT_EQ(got[0].window, nullptr);
  EXPECT_EQ(got[0].wParam, 7u);
  EXPECT_EQ(got[0].lParam, 9);
  EXPECT_EQ(receiver.ExitCode(), 3u);
  EXPECT_FALSE(PostThreadMessage(id, 0x84C, 0, 0)) << "the ended thread has no queue";
}

TEST(WindowTest, AMessageLeftFromADestroyedWindowNeverReachesALaterWindow) {
  int oldCalls = 0;
  WindowHandle old = CreateHiddenWindow("old", 0, [&](WindowHandle, MessageId id, WParam, LParam) {
    if (id == kTestMessage) ++oldCalls;
    return LResult{0};
  });
  ASSERT_TRUE(PostMessage(old, kTestMessage, 0, 0));
  ASSERT_TRUE(DestroyWindow(old));
  // Allocate until a new window reuses the old address, or give up after many tries.
  std::vector<WindowHandle> made;
  int newCalls = 0;
  WindowHandle reused = nullptr;
  for (int i = 0; i < 64 && !reused; ++i) {
    WindowHandle window = CreateHiddenWindow("new", 0, [&](WindowHandle, MessageId id, WParam, LParam) {
      if (id == kTestMessage) ++newCalls;
      return LResult{0};
    });
    made.push_back(window);
    if (window == old) reused = window;
  }
  Message message;
  while (PeekMessage(message)) DispatchMessage(message);
  EXPECT_EQ(oldCalls, 0);
  EXPECT_EQ(newCalls, 0);
  for (WindowHandle window : made) DestroyWindow(window);
  if (!reused) GTEST_SKIP() << "the allocator did not reuse the address; nothing more to check";
}

TEST(WindowTest, CreateWithoutHandlerFailsAndPeekOnEmptyQueueReturnsFalse) {
  EXPECT_EQ(CreateHiddenWindow("w", 0, nullptr), nullptr);
  Message message;
  while (PeekMessage(message)) {
  }
  EXPECT_FALSE(PeekMessage(message));
  PostQuitMessage(4);
  EXPECT_FALSE(GetMessage(message));
  EXPECT_EQ(message.wParam, 4u);
}

}  // namespace
}  // namespace platform
