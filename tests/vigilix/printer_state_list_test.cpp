#include "vigilix/printer_state_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vigilix/vigilix.h"

namespace vigilix {
namespace {

std::vector<PendingEntry> TakeAll(PrinterStateList& pending) {
  std::vector<PendingEntry> taken;
  PendingEntry entry;
  while (pending.TakeFirst(entry)) taken.push_back(entry);
  return taken;
}

std::vector<std::uint16_t> IdsOf(const std::vector<PendingEntry>& entries) {
  std::vector<std::uint16_t> ids;
  for (const PendingEntry& entry : entries) ids.push_back(entry.printerId);
  return ids;
}

TEST(PendingList, EntriesAreTakenOldestFirstAndAnUntakenMaskIsReplacedInPlace) {
  PrinterStateList pending;
  pending.SetMask(7, ALERT_INPUT);
  pending.SetMask(0, ALERT_OUTPUT);
  pending.SetMask(0xFFFF, ALERT_PAPER_JAM);
  // A later notification updates the untaken entry where it stands.
  pending.SetMask(7, ALERT_SUPPLIES);
  pending.SetCommState(0, kCommLost);
  pending.SetCommState(0, kCommRestored);
  EXPECT_EQ(pending.Size(), 3u);

  PendingEntry first;
  ASSERT_TRUE(pending.TakeFirst(first));
  EXPECT_EQ(first.printerId, 7);
  EXPECT_EQ(first.alertMask, ALERT_SUPPLIES);
  EXPECT_EQ(first.commState, 0u);
  // Once taken, the printer's next notification makes a new entry at the end,
  // which starts afresh.
  pending.SetCommState(7, kCommLost);
  const auto rest = TakeAll(pending);
  EXPECT_EQ(IdsOf(rest), (std::vector<std::uint16_t>{0, 0xFFFF, 7}));
  EXPECT_EQ(rest[0].alertMask, ALERT_OUTPUT);
  EXPECT_EQ(rest[0].commState, kCommRestored);
  EXPECT_EQ(rest[1].alertMask, ALERT_PAPER_JAM);
  EXPECT_EQ(rest[2].alertMask, 0u);
  EXPECT_EQ(rest[2].commState, kCommLost);
  EXPECT_EQ(pending.Size(), 0u);
}

TEST(PendingList, OrderHoldsWhileEntriesComeAndGoAcrossTheWholeIdSpace) {
  PrinterStateList pending;
  // Every id in descending order, then half of them taken.
  for (std::uint32_t n = 0; n <= 0xFFFF; ++n) pending.SetMask(static_cast<std::uint16_t>(0xFFFF - n), 0xFFFF - n);
  PendingEntry taken;
  for (std::uint32_t id = 0xFFFF; id >= 0x8000; --id) {
    ASSERT_TRUE(pending.TakeFirst(taken));
    ASSERT_EQ(taken.printerId, id);
  }
  // Taken ids come back at the end; untaken ones are replaced where they stand.
  pending.SetMask(0xFFFF, 1);
  pending.SetMask(0x7FFF, 2);
  pending.SetMask(0, 3);
  pending.SetMask(0x8000, 4);
  EXPECT_EQ(pending.Size(), 0x8000u + 2);
  const auto rest = TakeAll(pending);
  ASSERT_EQ(rest.size(), 0x8000u + 2);
  EXPECT_EQ(rest.front().printerId, 0x7FFF);
  EXPECT_EQ(rest.front().alertMask, 2u);
  EXPECT_EQ(rest[1].alertMask, 0x7FFEu);
  EXPECT_EQ(rest[0x7FFF].printerId, 0);
  EXPECT_EQ(rest[0x7FFF].alertMask, 3u);
  EXPECT_EQ(rest[0x8000].printerId, 0xFFFF);
  EXPECT_EQ(rest[0x8001].printerId, 0x8000);
  EXPECT_EQ(rest[0x8001].alertMask, 4u);
}

TEST(PrinterList, ARegisteredPrinterIsUpdatedInPlaceAndUnknownIdsFindNothing) {
  PrinterStateList printers;
  EXPECT_EQ(printers.PrinterFacts(0).deviceClass, kNoDeviceClass);
  for (std::uint32_t id = 0; id <= 0xFFFF; id += 3)
    printers.Register(static_cast<std::uint16_t>(id), static_cast<std::uint8_t>(id % 7), "M" + std::to_string(id));
  const std::size_t size = printers.Size();
  EXPECT_EQ(size, 0x10000u / 3 + 1);
  printers.Register(3, 200, "Again");
  EXPECT_EQ(printers.Size(), size);
  EXPECT_EQ(printers.PrinterFacts(3).model, "Again");
  EXPECT_EQ(printers.PrinterFacts(3).deviceClass, 200);
  EXPECT_EQ(printers.PrinterFacts(0xFFFF).model, "M65535");
  EXPECT_EQ(printers.PrinterFacts(6).deviceClass, 6);
  EXPECT_EQ(printers.PrinterFacts(4).model, "");
  EXPECT_EQ(printers.PrinterFacts(4).deviceClass, kNoDeviceClass);
  EXPECT_EQ(printers.InputName(4, 1), "");
  EXPECT_EQ(printers.OutputName(0xFFFE, 1), "");
}

}  // namespace
}  // namespace vigilix
