#include "vigilix/message_catalog.h"

#include <gtest/gtest.h>

namespace vigilix {
namespace {

TEST(MessageCatalog, HoldsEveryMessageAndLeavesTheGapsEmpty) {
  int messages = 0;
  for (int id = 10100; id <= 10206; ++id) messages += LoadText(id).empty() ? 0 : 1;
  EXPECT_EQ(messages, 92);
  for (int gap : {10103, 10104, 10105, 10112, 10113, 10114, 10134, 10135, 10136, 10143, 10159, 10185, 10186, 10187,
                  10195, 10207, 10099})
    EXPECT_EQ(LoadText(gap), "") << gap;
  EXPECT_EQ(LoadText(10100), "Defective Flash");
  EXPECT_EQ(LoadText(10155), "Paper Input Low");
  EXPECT_EQ(LoadText(10179), "Unknown Error--Operator Required");
  EXPECT_EQ(LoadText(kTextOffline), "Offline");
  EXPECT_EQ(LoadText(kTextReady), "Ready");
  EXPECT_EQ(LoadText(kTextNotCommunicating), "Printer Not Communicating");
  EXPECT_EQ(LoadText(kTextCommunicationRestored), "Printer Communication Restored");
}

TEST(MessageCatalog, NamesTheDatabaseSections) {
  EXPECT_EQ(LoadText(0), "Device Status Alerts: 0");
  EXPECT_EQ(LoadText(21), "Device Status Alerts: 21");
  EXPECT_EQ(LoadText(255), "Device Status Alerts: -1");
  EXPECT_EQ(LoadText(22), "");
  EXPECT_EQ(LoadText(254), "");
  EXPECT_EQ(LoadText(-1), "");
}

TEST(MessageCatalog, NamesTheLocationsInThreeBlocks) {
  int locations = 0;
  for (int id = 20100; id <= 20355; ++id) locations += LoadText(id).empty() ? 0 : 1;
  EXPECT_EQ(locations, 13 + 29 + 11);
  EXPECT_EQ(LoadText(20109), "Auxilary Feeder");
  EXPECT_EQ(LoadText(20112), "Multipurpose Tray");
  EXPECT_EQ(LoadText(20120), "");
  EXPECT_EQ(LoadText(20138), "Finisher Bin 1");
  EXPECT_EQ(LoadText(20157), "Finisher Bin 20");
  EXPECT_EQ(LoadText(20158), "Finisher");
  EXPECT_EQ(LoadText(20190), "Process Cartridge");
  EXPECT_EQ(LoadText(30115), "Tray At 66% Capacity");
}

}  // namespace
}  // namespace vigilix
