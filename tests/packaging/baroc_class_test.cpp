// The shipped TEC class file against the events the service composes: the
// class name, its slots in the order the event carries its attributes, and
// the defaults of source and severity.

#include "tests/packaging/baroc_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "service/alert_intake.h"
#include "service/printer_table.h"

namespace {

struct EventAttribute {
  std::string name;
  std::string value;
};

struct ParsedEvent {
  std::string className;
  std::vector<EventAttribute> attributes;
};

// Splits "Class;name=value;...;END\n" at the semicolons outside apostrophes
// (a doubled apostrophe inside a value toggles twice and so stays inside).
ParsedEvent ParseEvent(const std::string& event) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (char c : event) {
    if (c == '\'') quoted = !quoted;
    if (c == ';' && !quoted) {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(field);
  ParsedEvent parsed;
  parsed.className = fields.front();
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const std::size_t equals = fields[i].find('=');
    if (equals == std::string::npos) continue;
    parsed.attributes.push_back({fields[i].substr(0, equals), fields[i].substr(equals + 1)});
  }
  return parsed;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

PrinterEnumRecord PrinterWithMac(std::uint16_t id) {
  PrinterEnumRecord record;
  const std::uint8_t mac[] = {0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C};
  std::copy(std::begin(mac), std::end(mac), record.bytes.begin() + PrinterEnumRecordLayout::kMacAddress);
  WriteLe16(record.bytes.data() + PrinterEnumRecordLayout::kEnumPrinterId, id);
  WriteLe16(record.bytes.data() + PrinterEnumRecordLayout::kPortType, 1);
  return record;
}

TEST(BarocClassTest, SlotsAreTheAttributesOfTheComposedEvent) {
  std::string error;
  const std::optional<BarocClass> shipped = ParseBarocClass(ReadFile(KOR_BAROC_FILE), &error);
  ASSERT_TRUE(shipped) << KOR_BAROC_FILE << ": " << error;

  PrinterTable table;
  table.AddOrUpdate(PrinterWithMac(3));
  const ParsedEvent event = ParseEvent(ComposeEvent(table, 3, "Paper Jam; Tray 'A';-;4", false));
  ASSERT_EQ(event.attributes.size(), 9u) << "the event's message was split wrongly";

  EXPECT_EQ(shipped->name, event.className);
  EXPECT_EQ(shipped->base, "EVENT");
  std::vector<std::string> slotNames, attributeNames;
  for (const BarocSlot& slot : shipped->slots) slotNames.push_back(slot.name);
  for (const EventAttribute& attribute : event.attributes) attributeNames.push_back(attribute.name);
  EXPECT_EQ(slotNames, attributeNames);

  // The slots the class adds to EVENT carry a type; source's default is the
  // value every event carries, and severity's default is a severity name.
  const std::vector<std::string> eventSlots = {"source", "severity", "msg", "origin", "hostname"};
  for (const BarocSlot& slot : shipped->slots) {
    const bool inherited = std::find(eventSlots.begin(), eventSlots.end(), slot.name) != eventSlots.end();
    EXPECT_EQ(slot.type.empty(), inherited) << slot.name;
    if (slot.name == "source") {
      EXPECT_EQ(slot.defaultValue, "\"" + event.attributes[0].value + "\"");
    } else if (slot.name == "severity") {
      const std::vector<std::string> severities = {"UNKNOWN", "HARMLESS", "WARNING", "MINOR", "CRITICAL", "FATAL"};
      EXPECT_NE(std::find(severities.begin(), severities.end(), slot.defaultValue), severities.end());
    }
  }
}

TEST(BarocClassTest, ParserRejectsTextThatIsNotOneClass) {
  const std::string good =
      "# a comment\nTEC_CLASS:\n  A ISA EVENT\n  DEFINES {\n    s: STRING, default = \"x;y\";\n"
      "    severity: default = WARNING;\n  };\nEND\n";
  std::string error;
  const std::optional<BarocClass> parsed = ParseBarocClass(good, &error);
  ASSERT_TRUE(parsed) << error;
  ASSERT_EQ(parsed->slots.size(), 2u);
  EXPECT_EQ(parsed->slots[0].name, "s");
  EXPECT_EQ(parsed->slots[0].type, "STRING");
  EXPECT_EQ(parsed->slots[0].defaultValue, "\"x;y\"");
  EXPECT_EQ(parsed->slots[1].type, "");

  for (const char* bad :
       {"A ISA EVENT DEFINES { }; END", "TEC_CLASS: A ISA EVENT DEFINES { s STRING; }; END",
        "TEC_CLASS: A ISA EVENT DEFINES { s: STRING };", "TEC_CLASS: A ISA EVENT DEFINES { }; END extra"}) {
    error.clear();
    EXPECT_FALSE(ParseBarocClass(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
