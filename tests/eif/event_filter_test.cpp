#include <gtest/gtest.h>

#include "eif/eif_config.h"
#include "eif/event_filter.h"
#include "eif_test_support.h"

class EventFilterTest : public testing::Test {
 protected:
  void Load(const std::string& content) { LoadConfig(dir.Path("eif.conf"), content); }
  int Sent(const std::string& event) { return EventIsFiltered(event, EifFilterList()); }
  int Cached(const std::string& event) { return EventIsFiltered(event, EifFilterCacheList()); }
  ScratchDirectory dir;
};

TEST_F(EventFilterTest, AttributesKeepApostrophesAndSplitOnlyOutsideThem) {
  EifList<EifPair> attributes =
      ParseEventAttributes("Cls;msg='a=b;c';x=1;odd='it''s';e=;f=2;y='q'z;last=END\n\x01");
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const EifPair& pair : attributes) pairs.emplace_back(pair.name, pair.value);
  EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{
                       {"Class", "Cls"},
                       {"msg", "'a=b;c'"},
                       {"x", "1"},
                       {"odd", "'it''s'"},
                       {"e", ";f"},  // an empty value joins the token after it
                       {"2", "y"},
                       {"'q'z", "last"},
                   }));
  EXPECT_EQ(ParseEventAttributes("no separator").Count(), 0u);
  EXPECT_EQ(ParseEventAttributes("C;a=1;b=2").Count(), 3u);
  EXPECT_EQ(ParseEventAttributes("C;a=1;dangling").Count(), 2u);
}

TEST_F(EventFilterTest, OutModeHoldsBackMatchingEventsOnly) {
  Load("Filter:Class=Korvane_Printer_Alert;severity=HARMLESS\n");
  EXPECT_EQ(Sent(MakeEvent("HARMLESS", "Ready")), 1);
  EXPECT_EQ(Sent(MakeEvent("WARNING", "Offline")), 0);
  EXPECT_EQ(Cached(MakeEvent("HARMLESS", "Ready")), 0);  // no FilterCache line
  EXPECT_EQ(Sent("no semicolon at all"), 0);
}

TEST_F(EventFilterTest, InModeHoldsBackEverythingNoFilterMatches) {
  Load("FilterMode=in\n");
  EXPECT_EQ(Sent(MakeEvent("CRITICAL", "Paper Jam")), 1);
  EXPECT_EQ(Sent("no semicolon passes in either mode"), 0);

  Load("FilterMode=IN\nFilter:severity=CRITICAL\nFilterCache:severity=CRITICAL\n");
  EXPECT_EQ(Sent(MakeEvent("CRITICAL", "Paper Jam")), 0);
  EXPECT_EQ(Cached(MakeEvent("CRITICAL", "Paper Jam")), 0);
  EXPECT_EQ(Sent(MakeEvent("MINOR", "Toner Low")), 1);
  EXPECT_EQ(Cached(MakeEvent("MINOR", "Toner Low")), 1);

  Load("FilterMode=In\nFilter:severity=CRITICAL\n");  // only "IN" and "in" select IN mode
  EXPECT_EQ(Sent(MakeEvent("CRITICAL", "Paper Jam")), 1);
  EXPECT_EQ(Sent(MakeEvent("MINOR", "Toner Low")), 0);
}

TEST_F(EventFilterTest, QuotedValuesMatchOnlyWithTheirApostrophesAndExactly) {
  Load("Filter:msg=Paper Jam\nFilter:msg='Paper Jam'\n");
  EXPECT_EQ(Sent(MakeEvent("CRITICAL", "Paper Jam")), 1);
  EXPECT_EQ(Sent(MakeEvent("HARMLESS", "Paper Jam(Resolved)")), 0);
  Load("Filter:msg=Paper Jam\n");
  EXPECT_EQ(Sent(MakeEvent("CRITICAL", "Paper Jam")), 0);
}

TEST_F(EventFilterTest, AFilterNamingAnAttributeTheEventLacksNeverMatches) {
  Load("Filter:severity=WARNING;sub_source=x\nFilter:Class=Other\n");
  EXPECT_EQ(Sent(MakeEvent("WARNING", "Offline")), 0);
  Load("Filter:Class=Korvane_Printer_Alert;port_attachment=''\n");
  EXPECT_EQ(Sent(MakeEvent("WARNING", "Offline")), 1);
}
