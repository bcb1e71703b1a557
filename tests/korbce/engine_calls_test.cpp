// Each call's records and answers, byte for byte.

#include <gtest/gtest.h>

#include <cstring>

#include "engine_fixture.h"
#include "platform/thread.h"

namespace korbce {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kFleet[] =
    "[Engine]\n"
    "NetInfoReplies = 0100000001000000AB00, 02\n"
    "[Printer Hall]\n"
    "Id = 3\n"
    "Mac = 0020004A1B0C\n"
    "Protocols = 0x2000002\n"
    "Adapter = 129\n"
    "PortType = 257\n"
    "Ip = 127.0.0.1\n"
    "Classes = 0x2\n"
    "SpoolerPort = IP_127.0.0.1\n"
    "Class = 7\n"
    "Model = Korvane 4000\n"
    "Inputs = 1:Tray 1;4:Envelope\n"
    "Outputs = 1:Top;2:\n"
    "Input = 03:0A0300\n"
    "Printer Supplies = 0B:010203,040506\n"
    "Operator Intervention Required = 0C:0D0E0F\n"
    "[Printer Basement]\n"
    "Id = 12\n"
    "Classes = 0x800\n"
    "SpoolerPort = LPT1:\n"
    "Online = No\n"
    "Class = 1\n"
    "[Printer Lobby]\n"
    "Id = 5\n"
    "Classes = 0x802\n";

Bytes Zeros(std::size_t count) { return Bytes(count, 0); }

Bytes Text(std::string_view text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// What the enumeration and net-info callbacks saw, on which thread.
struct Seen {
  std::vector<Bytes> records;
  std::vector<platform::ThreadId> threads;
};
Seen seen;

std::uint16_t RecordEnumCallback(const std::uint8_t* record) {
  seen.records.emplace_back(record, record + PrinterEnumRecordLayout::kSize);
  seen.threads.push_back(platform::CurrentThreadId());
  return 1;
}

void RecordNetInfoCallback(const std::uint8_t* record, std::uint32_t length) {
  seen.records.emplace_back(record, record + length);
  seen.threads.push_back(platform::CurrentThreadId());
}

std::vector<std::uint16_t> EnumeratedIds() {
  std::vector<std::uint16_t> ids;
  for (const Bytes& record : seen.records) ids.push_back(ReadLe16(&record[PrinterEnumRecordLayout::kEnumPrinterId]));
  return ids;
}

class EngineCallsTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    seen = Seen();
    WriteFleet(kFleet);
    StartEngine();
  }

  // The printer's answer to the command, or nothing when the call fails.
  std::optional<Bytes> Ask(std::uint16_t printer, std::uint32_t command, std::uint32_t size = 1000) {
    Bytes reply(size, 0xEE);
    std::uint32_t length = size;
    const Bytes request{0x00, 0xB2};
    if (engine_->SendBidi(1, printer, 0, command, reply.data(), &length, request.data(), 2) != 0) {
      EXPECT_EQ(length, size) << "a failed call keeps the length";
      EXPECT_EQ(reply, Bytes(size, 0xEE)) << "a failed call writes nothing";
      return std::nullopt;
    }
    EXPECT_LE(length, size);
    EXPECT_EQ(Bytes(reply.begin() + length, reply.end()), Bytes(size - length, 0xEE)) << "written past the reply";
    reply.resize(length);
    return reply;
  }
};

TEST_F(EngineCallsTest, RegisterAppCountsFromOneAndFailsAsTheFleetSays) {
  NotificationWindow window;
  EXPECT_EQ(engine_->RegisterApp(window.Handle()), 1);
  EXPECT_THAT(Trace(), ::testing::HasSubstr("korbce: read the fleet file " + fleetPath_ + ": 3 printers\n"));
  EXPECT_EQ(engine_->RegisterApp(window.Handle()), 2);
  EXPECT_EQ(engine_->RegisterApp(nullptr), 0);
  WriteFleet(std::string(kFleet) + "[Engine]\n");  // a second [Engine] is ignored
  EXPECT_EQ(engine_->RegisterApp(window.Handle()), 3);
  WriteFleet("[Engine]\nRegisterFails = Yes\n");
  EXPECT_EQ(engine_->RegisterApp(window.Handle()), 0);
  std::filesystem::remove(fleetPath_);
  EXPECT_EQ(engine_->RegisterApp(window.Handle()), 0);
  EXPECT_THAT(Trace(), ::testing::HasSubstr("korbce: cannot read the fleet file " + fleetPath_));
}

TEST_F(EngineCallsTest, EnumPrintersHandsOutTheRecordsOfMatchingClassesInFileOrder) {
  EXPECT_EQ(engine_->EnumPrinters(1, 0x80000002, RecordEnumCallback), 0);
  ASSERT_EQ(EnumeratedIds(), (std::vector<std::uint16_t>{3, 5}));
  Bytes expected = Zeros(412);
  const Bytes mac{0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C};
  std::copy(mac.begin(), mac.end(), expected.begin());
  expected[86] = 3;
  expected[92] = 0x02, expected[95] = 0x02;
  expected[96] = 129;
  expected[98] = 0x01, expected[99] = 0x01;
  EXPECT_EQ(seen.records[0], expected);
  Bytes lobby = Zeros(412);
  lobby[86] = 5;
  EXPECT_EQ(seen.records[1], lobby);
  EXPECT_EQ(seen.threads, (std::vector<platform::ThreadId>(2, platform::CurrentThreadId())));

  seen = Seen();
  EXPECT_EQ(engine_->EnumPrinters(1, 0x800, RecordEnumCallback), 0);
  EXPECT_EQ(EnumeratedIds(), (std::vector<std::uint16_t>{12, 5}));
  seen = Seen();
  EXPECT_EQ(engine_->EnumPrinters(1, 0x80000000, RecordEnumCallback), 0);
  EXPECT_EQ(engine_->EnumPrinters(1, 0, RecordEnumCallback), 0);
  EXPECT_TRUE(seen.records.empty());
  EXPECT_NE(engine_->EnumPrinters(1, 0x2, nullptr), 0);

  WriteFleet(std::string(kFleet) + "[Engine]\nEnumFails=Yes\n");
  EXPECT_EQ(engine_->EnumPrinters(1, 0x2, RecordEnumCallback), 0) << "only the first [Engine] counts";
  WriteFleet(std::string("[Engine]\nEnumFails=Yes\n") + (kFleet + std::strlen("[Engine]\n")));
  seen = Seen();
  EXPECT_NE(engine_->EnumPrinters(1, 0x2, RecordEnumCallback), 0);
  EXPECT_TRUE(seen.records.empty());
  std::filesystem::remove(fleetPath_);
  EXPECT_NE(engine_->EnumPrinters(1, 0x2, RecordEnumCallback), 0);
  EXPECT_TRUE(seen.records.empty());
}

TEST_F(EngineCallsTest, EnumSpecificPortFindsThePrinterOfThePortWhateverTheLetterCase) {
  EXPECT_EQ(engine_->EnumSpecificPort(1, 0xFFF, "lpt1:", RecordEnumCallback), 0);
  EXPECT_EQ(EnumeratedIds(), (std::vector<std::uint16_t>{12}));
  seen = Seen();
  EXPECT_EQ(engine_->EnumSpecificPort(1, 0xFFF, "COM1:", RecordEnumCallback), 0);
  EXPECT_EQ(engine_->EnumSpecificPort(1, 0xFFF, "", RecordEnumCallback), 0) << "printers without a port";
  EXPECT_TRUE(seen.records.empty());
  EXPECT_NE(engine_->EnumSpecificPort(1, 0xFFF, nullptr, RecordEnumCallback), 0);
}

TEST_F(EngineCallsTest, GetPrinterAddrExWritesTheDottedTextAtOffset24Only) {
  Bytes block(680, 0xEE);
  EXPECT_EQ(engine_->GetPrinterAddrEx(3, 0, block.data(), 2), 0);
  Bytes expected(680, 0xEE);
  const Bytes ip = Text("127.0.0.1");
  std::copy(ip.begin(), ip.end(), expected.begin() + 24);
  EXPECT_EQ(block, expected);

  EXPECT_EQ(engine_->GetPrinterAddrEx(5, 0, block.data(), 2), 0);
  EXPECT_EQ(block[24], 0) << "a printer without Ip has the empty text";
  block.assign(680, 0xEE);
  EXPECT_NE(engine_->GetPrinterAddrEx(4, 0, block.data(), 2), 0);
  EXPECT_NE(engine_->GetPrinterAddrEx(3, 0, nullptr, 2), 0);
  EXPECT_EQ(block, Bytes(680, 0xEE));
}

TEST_F(EngineCallsTest, NetInfoExchangeHandsOutTheConfiguredReplies) {
  const Bytes subnets = Join({Bytes{1, 0, 0, 0}, Zeros(24)});
  EXPECT_EQ(engine_->ExchangeNetInfo(0xFFFF, 2, 24, subnets.data(), 28, 0, 0, RecordNetInfoCallback), 0);
  EXPECT_TRUE(seen.records.empty());

  const Bytes query{1, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(engine_->ExchangeNetInfo(0xFFFF, 2, 27, query.data(), 8, 0, 0, RecordNetInfoCallback), 0);
  EXPECT_EQ(seen.records, (std::vector<Bytes>{{1, 0, 0, 0, 1, 0, 0, 0, 0xAB, 0}, {2}}));
  EXPECT_EQ(seen.threads, (std::vector<platform::ThreadId>(2, platform::CurrentThreadId())));
  EXPECT_NE(engine_->ExchangeNetInfo(0xFFFF, 2, 27, query.data(), 8, 0, 0, nullptr), 0);
  EXPECT_NE(engine_->ExchangeNetInfo(0xFFFF, 2, 25, query.data(), 8, 0, 0, RecordNetInfoCallback), 0);

  WriteFleet("[Engine]\nNetInfoReplies = 01\nNetInfoFails = Yes\n");
  seen = Seen();
  EXPECT_NE(engine_->ExchangeNetInfo(0xFFFF, 2, 27, query.data(), 8, 0, 0, RecordNetInfoCallback), 0);
  EXPECT_TRUE(seen.records.empty());

  const Bytes block = Join({Bytes{17, 0, 0, 0, 1, 0, 0, 0, 0, 0}, Text("abc"), Zeros(3)});
  EXPECT_EQ(engine_->SetNetInfo(0xFFFF, 2, 2, block.data(), 17), 0);
}

TEST_F(EngineCallsTest, SendBidiAnswersInTheLayoutsTheLibraryDecodes) {
  EXPECT_EQ(Ask(3, BIDI_GET_CLASS, 323), (Bytes{0, 0, 0, 0, 7}));
  EXPECT_EQ(Ask(3, BIDI_GET_MODEL, 323), Join({Zeros(35), Text("Korvane 4000")}));
  EXPECT_EQ(Ask(3, BIDI_GET_INPUTS), Join({Bytes{0, 2},                                    //
                                           Bytes{1}, Zeros(29), Bytes{7}, Text("Tray 1"), Bytes{0},  //
                                           Bytes{4}, Zeros(29), Bytes{9}, Text("Envelope"), Bytes{0}}));
  EXPECT_EQ(Ask(3, BIDI_GET_OUTPUTS), Join({Bytes{0, 2},                         //
                                            Bytes{1}, Zeros(7), Bytes{4}, Text("Top"),  //
                                            Bytes{2}, Zeros(7), Bytes{0}}));
  // Category bits 0 to 7 answer to commands 4, 5, 6, 11, 7, 8, 9, 10.
  EXPECT_EQ(Ask(3, 4, 323), (Bytes{0x03, 1, 0x0A, 0x03, 0x00, 0}));
  EXPECT_EQ(Ask(3, 11, 323), (Bytes{0x0B, 2, 0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06, 0}));
  EXPECT_EQ(Ask(3, 7, 323), (Bytes{0x0C, 1, 0x0D, 0x0E, 0x0F, 0}));
  for (std::uint32_t command : {5, 6, 8, 9, 10}) EXPECT_EQ(Ask(3, command, 323), (Bytes{0, 0})) << command;
}

TEST_F(EngineCallsTest, SendBidiFailsWithoutTouchingTheBufferWhenThereIsNoAnswer) {
  EXPECT_FALSE(Ask(4, 4)) << "unknown printer";
  EXPECT_FALSE(Ask(12, BIDI_GET_CLASS)) << "printer not online";
  EXPECT_FALSE(Ask(5, BIDI_GET_CLASS)) << "no Class";
  EXPECT_FALSE(Ask(5, BIDI_GET_MODEL)) << "no Model";
  EXPECT_FALSE(Ask(5, BIDI_GET_INPUTS)) << "no Inputs";
  EXPECT_FALSE(Ask(5, BIDI_GET_OUTPUTS)) << "no Outputs";
  EXPECT_FALSE(Ask(3, 3)) << "not a command";
  EXPECT_FALSE(Ask(3, 12)) << "not a command";
  EXPECT_FALSE(Ask(3, BIDI_GET_MODEL, 47)) << "one byte short";
  EXPECT_TRUE(Ask(3, BIDI_GET_MODEL, 48));
  EXPECT_FALSE(Ask(3, 11, 9));
  EXPECT_FALSE(Ask(3, 5, 0));
  std::uint32_t length = 10;
  EXPECT_NE(engine_->SendBidi(1, 3, 0, 4, nullptr, &length, nullptr, 0), 0);
  Bytes reply(10);
  EXPECT_NE(engine_->SendBidi(1, 3, 0, 4, reply.data(), nullptr, nullptr, 0), 0);

  WriteFleet(std::string(kFleet) + "Model = " + std::string(300, 'm') + "\n");
  EXPECT_FALSE(Ask(5, BIDI_GET_MODEL, 323)) << "a model too long for the library's buffer";
  EXPECT_EQ(Ask(5, BIDI_GET_MODEL, 1000)->size(), 336u);
}

TEST_F(EngineCallsTest, EachCallSeesTheFleetFileAsItIsNow) {
  std::string edited = kFleet;
  edited.replace(edited.find("Korvane 4000"), 12, "Korvane 4100");
  edited.replace(edited.find("Online = No"), 11, "Online = Yes");
  WriteFleet(edited);
  EXPECT_EQ(Ask(3, BIDI_GET_MODEL, 323), Join({Zeros(35), Text("Korvane 4100")}));
  EXPECT_EQ(Ask(12, BIDI_GET_CLASS, 323), (Bytes{0, 0, 0, 0, 1}));
}

}  // namespace
}  // namespace korbce
