// The event queue and the sender loop.

#include "service/event_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <mutex>

#include "platform/thread.h"
#include "service/sender_loop.h"

namespace {

using Strings = std::vector<std::string>;

TEST(EventQueueTest, IsFirstInFirstOut) {
  EventQueue queue;
  EXPECT_TRUE(queue.Empty());
  EXPECT_FALSE(queue.Front().has_value());
  queue.PopFront();  // nothing to remove
  queue.PushBack("a");
  queue.PushBack("b");
  queue.PushBack("");
  EXPECT_EQ(queue.Size(), 3u);
  Strings sent;
  queue.QueueEvent().Set();
  queue.Drain([&](const std::string& event) { sent.push_back(event); });
  EXPECT_EQ(sent, (Strings{"a", "b", ""}));
  EXPECT_TRUE(queue.Empty());
  EXPECT_FALSE(queue.QueueEvent().IsSignalled());
}

TEST(EventQueueTest, EventsQueuedDuringASendFollowTheOlderOnes) {
  EventQueue queue;
  queue.PushBack("old 1");
  queue.PushBack("old 2");
  Strings sent;
  queue.Drain([&](const std::string& event) {
    sent.push_back(event);
    if (event == "old 1") queue.PushBack("new");  // the lock is re-entrant for its holder
  });
  EXPECT_EQ(sent, (Strings{"old 1", "old 2", "new"}));
}

TEST(EventQueueTest, APrinterOverItsBudgetHasItsChangesHeldMergedAndSentAsTheBudgetRefills) {
  std::int64_t now = 0;
  EventQueue queue({.burst = 2, .refillMs = 1000}, [&] { return now; });
  auto drain = [&] {
    Strings sent;
    queue.Drain([&](const std::string& event) { sent.push_back(event); });
    return sent;
  };
  queue.Offer({1, "jam", "jam"});
  queue.Offer({1, "toner", "toner"});
  queue.Offer({1, "jam", "jam resolved"});  // over the budget: held
  queue.Offer({1, "tray", "tray"});
  queue.Offer({1, "tray", "tray resolved"});  // undoes the held tray: neither is sent
  queue.Offer({1, "door", "door"});
  queue.Offer({2, "jam", "other printer's jam"});  // another printer has its own budget
  EXPECT_EQ(drain(), (Strings{"jam", "toner", "other printer's jam"}));
  EXPECT_EQ(queue.UntilRelease(), 1000);

  now = 1500;
  EXPECT_EQ(drain(), (Strings{"jam resolved"}));
  EXPECT_EQ(queue.UntilRelease(), 500);
  // A new change of the printer waits behind its held one.
  queue.Offer({1, "toner", "toner resolved"});
  now = 4000;
  EXPECT_EQ(drain(), (Strings{"door", "toner resolved"}));
  EXPECT_FALSE(queue.UntilRelease().has_value());
}

TEST(SenderLoopTest, HeldEventsAreSentOnceTheBudgetRefillsWithoutAnotherWakeUp) {
  EventQueue queue({.burst = 1, .refillMs = 50});
  platform::Event stopEvent(true, false);
  platform::Event sentBoth(true, false);
  std::mutex mutex;
  Strings sent;
  platform::Thread sender;
  ASSERT_TRUE(sender.Start([&] {
    return RunSenderLoop(queue, stopEvent, [&](const std::string& event) {
      std::lock_guard lock(mutex);
      sent.push_back(event);
      if (sent.size() == 2) sentBoth.Set();
    });
  }));
  queue.Offer({1, "jam", "jam"});
  queue.Offer({1, "jam", "jam resolved"});
  queue.QueueEvent().Set();
  EXPECT_TRUE(sentBoth.Wait(10000));
  stopEvent.Set();
  ASSERT_TRUE(sender.Wait(10000));
  std::lock_guard lock(mutex);
  EXPECT_EQ(sent, (Strings{"jam", "jam resolved"}));
}

// A watchdog tells a sender that waits for events from one that is stuck.
TEST(SenderLoopTest, AnIdleSenderCountsProgressEachBeatAndABlockedSendDoesNot) {
  EventQueue queue;
  platform::Event stopEvent(true, false);
  platform::Event sendBlocks(true, false), sendMayEnd(true, false);
  std::atomic<std::uint64_t> progress{0};
  platform::Thread sender;
  ASSERT_TRUE(sender.Start([&] {
    return RunSenderLoop(
        queue, stopEvent,
        [&](const std::string&) {
          sendBlocks.Set();
          sendMayEnd.Wait(10000);
        },
        &progress);
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(2 * kSenderBeatMs + kSenderBeatMs / 2));
  EXPECT_GE(progress.load(), 3u);

  {
    platform::ScopedLock<EventQueue::Lock> hold(queue.GetLock());
    queue.PushBack("stuck");
  }
  queue.QueueEvent().Set();
  ASSERT_TRUE(sendBlocks.Wait(10000));
  const std::uint64_t whileBlocked = progress.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(kSenderBeatMs + kSenderBeatMs / 2));
  EXPECT_EQ(progress.load(), whileBlocked);
  sendMayEnd.Set();
  stopEvent.Set();
  ASSERT_TRUE(sender.Wait(10000));
}

TEST(SenderLoopTest, SendsEachWakeUpsEventsAndEndsOnStopWithQueuedEventsLeft) {
  EventQueue queue;
  platform::Event stopEvent(true, false);
  std::mutex mutex;
  Strings sent;
  platform::Event sentOne(false, false);
  platform::Thread sender;
  ASSERT_TRUE(sender.Start([&] {
    return RunSenderLoop(queue, stopEvent, [&](const std::string& event) {
      {
        std::lock_guard lock(mutex);
        sent.push_back(event);
      }
      sentOne.Set();
    });
  }));
  {
    platform::ScopedLock<EventQueue::Lock> hold(queue.GetLock());
    queue.PushBack("first");
    queue.PushBack("second");
  }
  queue.QueueEvent().Set();
  for (;;) {
    {
      std::lock_guard lock(mutex);
      if (sent.size() == 2) break;
    }
    ASSERT_TRUE(sentOne.Wait(10000));
  }

  // Queued without a wake-up, then stopped: never sent.
  {
    platform::ScopedLock<EventQueue::Lock> hold(queue.GetLock());
    queue.PushBack("left");
    stopEvent.Set();
  }
  ASSERT_TRUE(sender.Wait(10000));
  EXPECT_EQ(sender.ExitCode(), kSenderThreadExitCode);
  EXPECT_EQ(queue.Front(), "left");
  std::lock_guard lock(mutex);
  EXPECT_EQ(sent, (Strings{"first", "second"}));
}

}  // namespace
