#include "service/printer_table.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "common/ipv4_text.h"
#include "platform/host_lookup.h"
#include "tests/service/fake_engine.h"

namespace {

using fake_engine::FakeEngine;
using fake_engine::MakePrinter;

PrinterEnumRecord Printer(std::uint16_t id, std::uint32_t flags = 0, std::uint16_t adapter = 0, std::uint16_t port = 0,
                          std::array<std::uint8_t, 6> mac = {}) {
  return PrinterEnumRecord::FromBytes(MakePrinter(id, flags, adapter, port, mac).data());
}

class PrinterTableTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeEngine::Instance().Reset(); }
  void TearDown() override {
    platform::SetReverseLookupForTesting({});
    FakeEngine::Instance().Reset();
  }
  PrinterTable table;
};

TEST_F(PrinterTableTest, NewRecordStartsOnlineCommunicatingAndEmpty) {
  table.AddOrUpdate(Printer(7, 0, 4, 257, {0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C}));
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.GetMacAddressText(7), "0020004A1B0C");
  EXPECT_EQ(table.GetAdapterProductName(7), "Portova M3");
  EXPECT_EQ(table.GetPortName(7), "Serial");
  EXPECT_EQ(table.IsOffline(7), 0);
  EXPECT_EQ(table.IsCommunicating(7), 1);
  EXPECT_EQ(table.GetHostName(7), "");
  EXPECT_EQ(table.GetPrinterModel(7), "");
  EXPECT_EQ(table.GetIpAddressText(7), "");
}

TEST_F(PrinterTableTest, ProductAndPortTablesGiveEmptyTextForOtherCodes) {
  const std::pair<std::uint16_t, const char*> products[] = {
      {1, "Portova"},      {2, "Portova M3"},   {3, ""}, {4, "Portova M3"}, {16, "Portova M2"}, {32, "Portova S1"},
      {128, "Portova Q3"}, {129, "Portova Q1"}, {0, ""}, {0xFFFF, ""}};
  for (auto [code, name] : products) {
    table.AddOrUpdate(Printer(1, 0, code, 0));
    EXPECT_EQ(table.GetAdapterProductName(1), name) << code;
  }
  const std::pair<std::uint16_t, const char*> ports[] = {{1, "Parallel 1"}, {2, "Parallel 2"}, {257, "Serial"},
                                                         {256, ""},         {3, ""},           {0, ""}};
  for (auto [code, name] : ports) {
    table.AddOrUpdate(Printer(1, 0, 0, code));
    EXPECT_EQ(table.GetPortName(1), name) << code;
  }
}

TEST_F(PrinterTableTest, SameIdTwiceRefreshesDescriptionAndKeepsState) {
  table.AddOrUpdate(Printer(5, PROTOCOL_TCPIP, 1, 1));
  FakeEngine::Instance().addressTexts[5] = "127.0.0.1";
  platform::SetReverseLookupForTesting([](std::uint32_t) { return std::optional<std::string>("printer5"); });
  table.ResolveHostNames();
  table.ToggleOffline(5);
  table.ToggleCommunicating(5);
  table.ForEachRecordOf(5, [](PrinterRecord& record) {
    record.printerModel = "Model X";
    record.activeAlerts.push_front("Paper Jam;-;3");
  });

  table.AddOrUpdate(Printer(5, PROTOCOL_TCPIP, 32, 2));

  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.GetAdapterProductName(5), "Portova S1");
  EXPECT_EQ(table.GetPortName(5), "Parallel 2");
  EXPECT_EQ(table.GetHostName(5), "printer5");
  EXPECT_EQ(table.GetIpAddressText(5), "127.0.0.1");
  EXPECT_EQ(table.GetPrinterModel(5), "Model X");
  EXPECT_EQ(table.IsOffline(5), 1);
  EXPECT_EQ(table.IsCommunicating(5), 0);
  table.ForEachRecordOf(5, [](PrinterRecord& record) { EXPECT_EQ(record.activeAlerts.size(), 1u); });
}

TEST_F(PrinterTableTest, UnknownIdsReadAsOfflineAndNotCommunicating) {
  EXPECT_EQ(table.IsOffline(1), 1);
  EXPECT_EQ(table.IsCommunicating(1), 0);
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  for (std::uint16_t unknown : {std::uint16_t{0}, std::uint16_t{2}, std::uint16_t{0xFFFF}}) {
    EXPECT_EQ(table.GetMacAddressText(unknown), "");
    EXPECT_EQ(table.GetIpAddressText(unknown), "");
    EXPECT_EQ(table.GetHostName(unknown), "");
    EXPECT_EQ(table.GetPrinterModel(unknown), "");
    EXPECT_EQ(table.GetAdapterProductName(unknown), "");
    EXPECT_EQ(table.GetPortName(unknown), "");
    EXPECT_EQ(table.IsOffline(unknown), 1);
    EXPECT_EQ(table.IsCommunicating(unknown), 0);
    table.ToggleOffline(unknown);
    table.ToggleCommunicating(unknown);
  }
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.IsOffline(1), 0);
  EXPECT_EQ(table.IsCommunicating(1), 1);
}

TEST_F(PrinterTableTest, TogglesFlipBackAndForth) {
  table.AddOrUpdate(Printer(3));
  table.ToggleOffline(3);
  EXPECT_EQ(table.IsOffline(3), 1);
  table.ToggleOffline(3);
  EXPECT_EQ(table.IsOffline(3), 0);
  table.ToggleCommunicating(3);
  EXPECT_EQ(table.IsCommunicating(3), 0);
  table.ToggleCommunicating(3);
  EXPECT_EQ(table.IsCommunicating(3), 1);
}

TEST_F(PrinterTableTest, CopyIdsKeepsTableOrderAndStopsAtCapacity) {
  for (std::uint16_t id : {9, 4, 12, 4, 1}) table.AddOrUpdate(Printer(id));
  ASSERT_EQ(table.Count(), 4u);

  std::array<std::uint16_t, 6> all{};
  EXPECT_EQ(table.CopyIds(all), 4u);
  EXPECT_EQ((std::vector<std::uint16_t>(all.begin(), all.begin() + 4)), (std::vector<std::uint16_t>{9, 4, 12, 1}));

  std::array<std::uint16_t, 3> few{0xAAAA, 0xAAAA, 0xAAAA};
  EXPECT_EQ(table.CopyIds(std::span(few).first(2)), 2u);
  EXPECT_EQ(few, (std::array<std::uint16_t, 3>{9, 4, 0xAAAA}));
  EXPECT_EQ(table.CopyIds({}), 0u);
}

TEST_F(PrinterTableTest, EachOfManyPrintersIsFoundByItsId) {
  constexpr std::uint16_t kPrinters = 3000;
  auto macOf = [](std::uint16_t id) {
    return std::array<std::uint8_t, 6>{0, 0x20, 0, 0, static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id)};
  };
  // Ids arrive out of order, and every third one twice.
  for (std::uint16_t n = 0; n < kPrinters; ++n) {
    const std::uint16_t id = static_cast<std::uint16_t>((n * 7919) % kPrinters + 1);
    table.AddOrUpdate(Printer(id, 0, 0, 0, macOf(id)));
    if (id % 3 == 0) table.AddOrUpdate(Printer(id, 0, 0, 0, macOf(id)));
  }
  ASSERT_EQ(table.Count(), kPrinters);
  for (std::uint16_t id = 1; id <= kPrinters; ++id) {
    char expected[13];
    std::snprintf(expected, sizeof expected, "00200000%04X", id);
    EXPECT_EQ(table.GetMacAddressText(id), expected);
    int visits = 0;
    table.ForEachRecordOf(id, [&](PrinterRecord& record) {
      ++visits;
      EXPECT_EQ(record.printerId, id);
    });
    EXPECT_EQ(visits, 1);
  }
  EXPECT_EQ(table.GetMacAddressText(kPrinters + 1), "");
  EXPECT_EQ(table.GetMacAddressText(0), "");

  // The lowest and highest ids have slots of their own.
  table.AddOrUpdate(Printer(0xFFFF, 0, 0, 0, macOf(0xFFFF)));
  table.AddOrUpdate(Printer(0, 0, 0, 0, macOf(0)));
  EXPECT_EQ(table.GetMacAddressText(0xFFFF), "00200000FFFF");
  EXPECT_EQ(table.GetMacAddressText(0), "002000000000");
  std::vector<std::uint16_t> ids(kPrinters + 2);
  ASSERT_EQ(table.CopyIds(ids), kPrinters + 2u);
  EXPECT_EQ(ids[kPrinters], 0xFFFF);
  EXPECT_EQ(ids[kPrinters + 1], 0);
}

TEST_F(PrinterTableTest, ResolveHostNamesAsksOnlyTcpIpPrintersByEitherBit) {
  FakeEngine& engine = FakeEngine::Instance();
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  table.AddOrUpdate(Printer(2, PROTOCOL_TCPIP_ALT));
  table.AddOrUpdate(Printer(3, 0x1 | 0x4 | 0x1000000));
  for (std::uint16_t id : {1, 2, 3}) engine.addressTexts[id] = "127.0.0.1";
  std::vector<std::uint32_t> looked;
  platform::SetReverseLookupForTesting([&](std::uint32_t address) {
    looked.push_back(address);
    // A look-up may wait long for a name server: the table is not held
    // meanwhile, so that another thread's alerts are taken.
    auto counted = std::make_shared<std::promise<std::size_t>>();
    std::thread([this, counted] { counted->set_value(table.Count()); }).detach();
    EXPECT_EQ(counted->get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    return std::optional<std::string>("host" + std::to_string(looked.size()));
  });

  table.ResolveHostNames();

  auto asked = engine.CallsTo("BceGetPrinterAddrEx");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].numbers, (std::vector<std::uint64_t>{1, 0, 2}));
  EXPECT_EQ(asked[1].numbers, (std::vector<std::uint64_t>{2, 0, 2}));
  const std::uint32_t loopback = *common::ParseIPv4NetworkOrder("127.0.0.1");
  EXPECT_EQ(looked, (std::vector<std::uint32_t>{loopback, loopback}));
  EXPECT_EQ(table.GetHostName(1), "host1");
  EXPECT_EQ(table.GetHostName(2), "host2");
  EXPECT_EQ(table.GetIpAddressText(2), "127.0.0.1");
  EXPECT_EQ(table.GetHostName(3), "");
  EXPECT_EQ(table.GetIpAddressText(3), "");
}

TEST_F(PrinterTableTest, FailedLookUpKeepsThePreviousHostName) {
  FakeEngine& engine = FakeEngine::Instance();
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  engine.addressTexts[1] = "127.0.0.1";
  platform::SetReverseLookupForTesting([](std::uint32_t) { return std::optional<std::string>("first"); });
  table.ResolveHostNames();
  platform::SetReverseLookupForTesting([](std::uint32_t) { return std::optional<std::string>(); });
  table.ResolveHostNames();
  EXPECT_EQ(table.GetHostName(1), "first");
}

TEST_F(PrinterTableTest, TextThatIsNotAnAddressIsLookedUpAsTheBroadcastValue) {
  FakeEngine::Instance().addressTexts[1] = "printer.example";
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  std::vector<std::uint32_t> looked;
  platform::SetReverseLookupForTesting([&looked](std::uint32_t address) {
    looked.push_back(address);
    return std::optional<std::string>();
  });
  table.ResolveHostNames();
  EXPECT_EQ(looked, (std::vector<std::uint32_t>{0xFFFFFFFF}));
  EXPECT_EQ(table.GetIpAddressText(1), "printer.example");
}

TEST_F(PrinterTableTest, UnterminatedAddressTextEndsAtTheBlock) {
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  table.ForEachRecordOf(1, [](PrinterRecord& record) { record.addressInfo.bytes.fill('7'); });
  EXPECT_EQ(table.GetIpAddressText(1),
            std::string(PrinterAddressBlockLayout::kSize - PrinterAddressBlockLayout::kIpAddressText, '7'));
}

TEST_F(PrinterTableTest, LoopbackResolvesThroughTheSystem) {
  FakeEngine::Instance().addressTexts[1] = "127.0.0.1";
  table.AddOrUpdate(Printer(1, PROTOCOL_TCPIP));
  auto expected = platform::ReverseLookup(*common::ParseIPv4NetworkOrder("127.0.0.1"));
  if (!expected) GTEST_SKIP() << "127.0.0.1 has no name on this machine";
  table.ResolveHostNames();
  EXPECT_EQ(table.GetHostName(1), *expected);
  EXPECT_FALSE(expected->empty());
}

TEST_F(PrinterTableTest, OperationsFromSeveralThreadsSeeWholeRecords) {
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([this, t] {
      for (std::uint16_t i = 0; i < 200; ++i) {
        auto id = static_cast<std::uint16_t>(t * 1000 + i);
        table.AddOrUpdate(Printer(id, 0, 1, 1));
        EXPECT_EQ(table.GetAdapterProductName(id), "Portova");
        table.ToggleOffline(id);
      }
    });
  }
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(table.Count(), 800u);
  EXPECT_EQ(table.IsOffline(3199 - 2000), 1);
}

}  // namespace
