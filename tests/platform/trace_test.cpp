#include "platform/trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/thread.h"

namespace platform {
namespace {

TEST(TraceTest, ConcurrentLinesArriveWholeAtTheSink) {
  std::vector<std::string> lines;
  SetDebugOutputSink([&](std::string_view text) { lines.emplace_back(text); });
  std::vector<Thread> writers(4);
  for (std::size_t w = 0; w < writers.size(); ++w) {
    ASSERT_TRUE(writers[w].Start([w] {
      for (int i = 0; i < 200; ++i) OutputDebugString("line from " + std::to_string(w) + "\n");
      return 0u;
    }));
  }
  for (Thread& writer : writers) writer.Join();
  SetDebugOutputSink(nullptr);
  ASSERT_EQ(lines.size(), 800u);
  for (const std::string& line : lines) EXPECT_EQ(line.rfind("line from ", 0), 0u) << line;
}

}  // namespace
}  // namespace platform
