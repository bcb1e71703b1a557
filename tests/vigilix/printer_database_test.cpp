#include "vigilix/printer_database.h"

#include <gtest/gtest.h>

#include "tests/vigilix/temp_database.h"

namespace vigilix {
namespace {

std::string VersionFile(const std::string& version) { return "[File Version]\nCurrent Version=" + version + "\n"; }

TEST(PrinterDatabase, VersionCheckNeedsOnePointThreeOrMore) {
  for (const char* passing : {"1.3", "2", "1.30", " 1.4 ", "1.3beta", "13"}) {
    TempDatabase db(VersionFile(passing));
    EXPECT_TRUE(IsDatabaseVersionSupported(db.Path())) << passing;
  }
  for (const char* failing : {"1.29", "1.25", "1", "abc", "", "-2", "inf", "0x2", "0000000001.4"}) {
    TempDatabase db(VersionFile(failing));
    EXPECT_FALSE(IsDatabaseVersionSupported(db.Path())) << failing;
  }
  TempDatabase noSection("[Other]\nCurrent Version=2\n");
  EXPECT_FALSE(IsDatabaseVersionSupported(noSection.Path()));
  TempDatabase garbage(std::string("\x01\x02[[[=\n\xff\xfe", 9));
  EXPECT_FALSE(IsDatabaseVersionSupported(garbage.Path()));
  EXPECT_FALSE(IsDatabaseVersionSupported("/nonexistent/VXPrtDb.ini"));
}

TEST(PrinterDatabase, ShippedDatabasePassesTheVersionCheck) {
  EXPECT_TRUE(IsDatabaseVersionSupported(ShippedDatabasePath()));
}

TEST(PrinterDatabase, KeyFormsAreTriedInOrderWithTheirLocationBytes) {
  const AlertKey key{0x0A, 0x51, 0x52, 0x1F};
  TempDatabase db(
      "[Device Status Alerts: -1]\n0A5152..=never\n0A......=form5\n0A....1F=form4\n0A..521F=form3\n"
      "0A51..1F=form2\n0A51521F=form1\n");
  AlertLookup found = LookUpAlert(db.Path(), key, kNoDeviceClass);
  EXPECT_EQ(found.value, "form1");
  EXPECT_FALSE(found.locationByte);

  const std::pair<const char*, std::uint8_t> expectations[] = {
      {"form2", 0x52}, {"form3", 0x51}, {"form4", 0x51}, {"form5", 0x51}};
  std::string rows = "[Device Status Alerts: -1]\n0A......=form5\n0A....1F=form4\n0A..521F=form3\n0A51..1F=form2\n";
  for (const auto& [value, location] : expectations) {
    db.Write(rows);
    found = LookUpAlert(db.Path(), key, kNoDeviceClass);
    EXPECT_EQ(found.value, value);
    EXPECT_EQ(found.locationByte, location) << value;
    rows.erase(rows.rfind('\n', rows.size() - 2) + 1);  // drop the best row
  }
  db.Write("[Device Status Alerts: -1]\n0A5152..=never\n0B......=other group\n");
  EXPECT_EQ(LookUpAlert(db.Path(), key, kNoDeviceClass).value, "");
}

TEST(PrinterDatabase, ClassSectionComesBeforeTheFallbackSection) {
  TempDatabase db(
      "[Device Status Alerts: -1]\n030A0300=fallback form 1\n03......=fallback any\n"
      "[Device Status Alerts: 4]\n030A..00=class form 2\n[Device Status Alerts: 2]\n030A0300=other class\n");
  const AlertKey key{0x03, 0x0A, 0x03, 0x00};
  EXPECT_EQ(LookUpAlert(db.Path(), key, 4).value, "class form 2");
  // Nothing in the class's section: the fallback section, once.
  EXPECT_EQ(LookUpAlert(db.Path(), key, 7).value, "fallback form 1");
  // Class 255 and a class without a section name use only the fallback section.
  EXPECT_EQ(LookUpAlert(db.Path(), key, kNoDeviceClass).value, "fallback form 1");
  EXPECT_EQ(LookUpAlert(db.Path(), key, 30).value, "fallback form 1");
  EXPECT_EQ(LookUpAlert(db.Path(), {0x05, 1, 2, 3}, 4).value, "");
}

TEST(PrinterDatabase, LookupIgnoresLetterCaseAndEmptyValues) {
  TempDatabase db(
      "[device status alerts: -1]\n0a0b..ff=lower case\n0A......=\n0a0b0cff=\n"
      "[Device Status Alerts: 3]\n0A0B0CFF=\n");
  const AlertLookup found = LookUpAlert(db.Path(), {0x0A, 0x0B, 0x0C, 0xFF}, 3);
  EXPECT_EQ(found.value, "lower case");
  EXPECT_EQ(found.locationByte, 0x0C);
}

TEST(PrinterDatabase, LongValuesAreCutAndMissingFilesFindNothing) {
  TempDatabase db("[Device Status Alerts: -1]\n03......=" + std::string(400, '7') + "\n");
  EXPECT_EQ(LookUpAlert(db.Path(), {3, 0, 0, 0}, kNoDeviceClass).value, std::string(322, '7'));
  EXPECT_EQ(LookUpAlert("/nonexistent/VXPrtDb.ini", {3, 0, 0, 0}, kNoDeviceClass).value, "");
  db.Write(std::string("\0\0\0garbage[\n=\n;;;", 17));
  EXPECT_EQ(LookUpAlert(db.Path(), {3, 0, 0, 0}, kNoDeviceClass).value, "");
}

TEST(PrinterDatabase, GetFieldCountsSeparatorsAndRepeatsTheLastField) {
  const std::string value = "40;-1;;;;;;5";
  EXPECT_EQ(GetField(value, 1), "40");
  EXPECT_EQ(GetField(value, 2), "-1");
  EXPECT_EQ(GetField(value, 3), "");
  EXPECT_EQ(GetField(value, 7), "");
  EXPECT_EQ(GetField(value, 8), "5");
  EXPECT_EQ(GetField(value, 12), "5");
  EXPECT_EQ(GetField("17", 1), "17");
  EXPECT_EQ(GetField("17", 2), "17");
  EXPECT_EQ(GetField("17", 8), "17");
  EXPECT_EQ(GetField("a;b;", 3), "");
  EXPECT_EQ(GetField("", 5), "");
}

}  // namespace
}  // namespace vigilix
