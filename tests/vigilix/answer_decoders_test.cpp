#include "vigilix/answer_decoders.h"

#include <gtest/gtest.h>

#include "tests/vigilix/fake_engine.h"

namespace vigilix {
namespace {

using fake_engine::Bytes;

std::vector<std::pair<int, std::string>> Pairs(const std::vector<Location>& locations) {
  std::vector<std::pair<int, std::string>> pairs;
  for (const Location& location : locations) pairs.emplace_back(location.key, location.name);
  return pairs;
}

std::vector<std::pair<int, std::string>> Expected(std::initializer_list<std::pair<int, std::string>> pairs) {
  return pairs;
}

TEST(AnswerDecoders, InputSourcesSkipTheirUnusedBytes) {
  const Bytes answer = fake_engine::InputAnswer({{3, "Tray 1"}, {7, "Big Tray"}, {1, ""}});
  EXPECT_EQ(Pairs(DecodeInputSources(answer)), Expected({{3, "Tray 1"}, {7, "Big Tray"}, {1, ""}}));
  // A name without its NUL inside the length ends at the length.
  Bytes bare(31, 0);
  bare[0] = 9;
  bare[30] = 3;
  bare.insert(bare.end(), {'A', 'B', 'C', 0});
  bare.insert(bare.begin(), {0, 1});
  EXPECT_EQ(Pairs(DecodeInputSources(bare)), Expected({{9, "ABC"}}));
}

TEST(AnswerDecoders, OutputBinsWithAnEmptyName) {
  const Bytes answer = fake_engine::OutputAnswer({{1, "Top Bin"}, {2, ""}, {3, "Side"}});
  EXPECT_EQ(Pairs(DecodeOutputBins(answer)), Expected({{1, "Top Bin"}, {2, ""}, {3, "Side"}}));
}

TEST(AnswerDecoders, StatusEntriesCarryTheGroupAndSkipTheirExtraBytes) {
  const Bytes answer = fake_engine::StatusAnswer(3, {{0x0A, 0x03, 0x00, {}}, {1, 2, 3, {9, 9, 9}}, {4, 5, 6, {}}});
  const auto entries = DecodeStatusAnswer(answer);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].group, 3);
  EXPECT_EQ(entries[0].b, 0x0A);
  EXPECT_EQ(entries[1].d, 3);
  EXPECT_EQ(entries[2].b, 4);
  EXPECT_EQ(entries[2].c, 5);
  EXPECT_TRUE(DecodeStatusAnswer(Bytes{3, 0, 1, 2, 3, 0}).empty());
  EXPECT_TRUE(DecodeStatusAnswer(Bytes{3}).empty());
  EXPECT_TRUE(DecodeStatusAnswer(Bytes{}).empty());
}

TEST(AnswerDecoders, CountsAndLengthsThatLieStopAtTheReturnedBytes) {
  // The count claims more entries than the bytes hold.
  Bytes status = fake_engine::StatusAnswer(4, {{1, 1, 1, {}}, {2, 2, 2, {}}});
  status[1] = 200;
  EXPECT_EQ(DecodeStatusAnswer(status).size(), 2u);
  // An entry whose extra length reaches past the end is not read.
  Bytes longExtra = fake_engine::StatusAnswer(4, {{1, 1, 1, {}}, {2, 2, 2, {7}}});
  longExtra.back() = 0;
  longExtra[longExtra.size() - 2] = 250;
  EXPECT_EQ(DecodeStatusAnswer(longExtra).size(), 1u);
  // Cut answers: every prefix decodes without reading past its end.
  const Bytes inputs = fake_engine::InputAnswer({{3, "Tray 1"}, {7, "Big Tray"}});
  for (std::size_t size = 0; size < inputs.size(); ++size) {
    const auto decoded = DecodeInputSources(std::span(inputs).first(size));
    EXPECT_LE(decoded.size(), 1u) << size;
  }
  const Bytes outputs = fake_engine::OutputAnswer({{1, "Top Bin"}, {2, "Side"}});
  for (std::size_t size = 0; size < outputs.size(); ++size)
    EXPECT_LE(DecodeOutputBins(std::span(outputs).first(size)).size(), 1u) << size;
  // A name length past the end drops that entry and the rest.
  Bytes bins = fake_engine::OutputAnswer({{1, "Top Bin"}, {2, "Side"}});
  bins[2 + 9 + 8 + 8] = 255;
  EXPECT_EQ(Pairs(DecodeOutputBins(bins)), Expected({{1, "Top Bin"}}));
  Bytes sources = fake_engine::InputAnswer({{3, "Tray 1"}});
  sources[2 + 30] = 200;
  EXPECT_TRUE(DecodeInputSources(sources).empty());
}

}  // namespace
}  // namespace vigilix
