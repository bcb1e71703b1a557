#include "korbce/snmp/printer_conditions.h"

#include <algorithm>
#include <set>
#include <utility>

#include "korbce/snmp/alert_codes.h"
#include "korbce/snmp/alert_row_conditions.h"
#include "korbce/snmp/condition.h"
#include "korbce/snmp/error_state_conditions.h"
#include "korbce/snmp/level_conditions.h"
#include "korbce/snmp/own_words.h"
#include "korbce/snmp/printer_locations.h"
#include "korbce/snmp/printer_model.h"
#include "korbce/snmp/printer_tables.h"
#include "korbce/snmp/supply_location.h"

namespace korbce::snmp {
namespace {

bool ReportsOffline(const PrinterSnapshot& snapshot) {
  return snapshot.deviceStatus == kDeviceStatusDown && snapshot.printerStatus == kPrinterStatusOther;
}

bool IsLevelKind(ConditionKind kind) {
  return kind == ConditionKind::kSupplyLow || kind == ConditionKind::kSupplyEmpty ||
         kind == ConditionKind::kInputLow || kind == ConditionKind::kInputEmpty;
}

// A row of such a kind speaks for the supply or source its level would name.
bool NamesLevel(ConditionKind kind) {
  return IsLevelKind(kind) || kind == ConditionKind::kSupplyMissing || kind == ConditionKind::kInputTrayMissing;
}

// An empty supply or source also answers a "low" bit.
bool Answers(ConditionKind bit, ConditionKind level) {
  if (bit == level) return true;
  return (bit == ConditionKind::kSupplyLow && level == ConditionKind::kSupplyEmpty) ||
         (bit == ConditionKind::kInputLow && level == ConditionKind::kInputEmpty);
}

class ConditionMapper {
 public:
  ConditionMapper(const PrinterSnapshot& snapshot, const MappingSettings& settings, PrinterConditions& conditions)
      : snapshot_(snapshot), settings_(settings), tables_(snapshot), conditions_(conditions),
        words_(conditions.outputs, settings.toldWords) {}

  void Map() {
    for (const AlertRow& row : snapshot_.alerts) TakeRow(row);
    for (const Condition& condition : ErrorStateConditions(snapshot_.detectedErrorState)) {
      if (!reportedByRows_.contains(condition.kind)) TakeBit(condition);
    }
    if (settings_.supplyLowPercent > 0) TakeSupplyLevels();
    if (ReportsOffline(snapshot_)) conditions_.offline = true;
    TakeUnexplainedState();
    if (settings_.flapping) {
      Take({ConditionKind::kOther,
            CategoryEntry{category::kWarning, MakeEntry(words_.KeyOf(kFlappingWords), kFlappingCode)}});
    }
    conditions_.words = words_.Words();
  }

 private:
  void Take(const Condition& condition) {
    if (condition.kind == ConditionKind::kOffline) conditions_.offline = true;
    if (!condition.alert) return;
    alerted_ = true;
    std::vector<DetailEntry>& entries = conditions_.categories[condition.alert->category].entries;
    if (entries.size() >= kMaxCategoryEntries) return;
    if (std::ranges::find(entries, condition.alert->entry) == entries.end()) entries.push_back(condition.alert->entry);
  }

  void TakeRow(const AlertRow& row) {
    if (IsStateNotice(row)) {
      noticed_ = true;
      return;
    }
    std::optional<Condition> condition = RowCondition(row, tables_);
    if (!condition) {
      if (unmappedWords_.empty()) unmappedWords_ = CleanWords(row.description);
      return;
    }
    reportedByRows_.insert(condition->kind);
    if (NamesLevel(condition->kind) && row.group && row.groupIndex) namedByRows_.insert({*row.group, *row.groupIndex});
    if (condition->alert && condition->alert->category == category::kWarning) {
      condition->alert->entry[0] = words_.KeyOf(WordsOr(row.description));
    }
    Take(*condition);
  }

  // A bit of a supply or paper source condition names each one whose level
  // tells it, and stands for itself only when none does.
  void TakeBit(const Condition& bit) {
    bool named = false;
    if (IsLevelKind(bit.kind)) {
      for (const Condition& level : LevelConditions()) {
        if (!Answers(bit.kind, level.kind)) continue;
        Take(level);
        named = true;
      }
    }
    if (!named) Take(bit);
  }

  // The levels of the supplies and sources that no alert row names: where a
  // row names one, the row wins.
  std::vector<Condition> LevelConditions() {
    std::vector<Condition> levels;
    for (const SupplyRow& supply : snapshot_.supplies) {
      if (namedByRows_.contains({alert_group::kMarkerSupplies, supply.index})) continue;
      if (auto level = SupplyLevelCondition(supply, tables_, settings_.supplyLowPercent)) {
        levels.push_back(InOwnWords(*level, supply));
      }
    }
    for (const InputRow& input : snapshot_.inputs) {
      if (namedByRows_.contains({alert_group::kInput, input.index})) continue;
      if (auto level = InputLevelCondition(input, settings_.supplyLowPercent)) levels.push_back(*level);
    }
    return levels;
  }

  // A supply that no location of the database names (a light or photo ink,
  // say) is named by its description, where it has one.
  Condition InOwnWords(Condition level, const SupplyRow& supply) {
    DetailEntry& entry = level.alert->entry;
    if (entry[0] != supply_location::kUnnamed) return level;
    const std::uint8_t key = words_.KeyOf(supply.description);
    if (key == 0) return level;
    const auto code = static_cast<std::int32_t>(entry[1] << 8 | entry[2]);
    entry = MakeEntry(key, code == alert_code::kTonerAlmostEmpty ? kWordsTonerLowCode
                           : code == alert_code::kInkAlmostEmpty ? kWordsInkLowCode
                                                                 : kWordsSupplyEmptyCode);
    return level;
  }

  void TakeSupplyLevels() {
    for (const Condition& level : LevelConditions()) {
      if (level.alert && level.alert->category == category::kSupplies) Take(level);
    }
  }

  void TakeUnexplainedState() {
    if (alerted_ || conditions_.offline) return;
    if (snapshot_.deviceStatus == kDeviceStatusWarning && !noticed_ &&
        snapshot_.printerStatus != kPrinterStatusWarmup) {
      Take({ConditionKind::kOther, CategoryEntry{category::kWarning, MakeEntry(StateWords(), kUnexplainedWarningCode)}});
    }
    if (snapshot_.deviceStatus == kDeviceStatusDown) {
      Take({ConditionKind::kOther, CategoryEntry{category::kOperator, MakeEntry(StateWords(), kUnexplainedDownCode)}});
    }
  }

  std::uint8_t StateWords() { return words_.KeyOf(WordsOr(unmappedWords_)); }

  // The text, else the front panel's first line that says something.
  std::string WordsOr(std::string_view text) const {
    std::string words = CleanWords(text);
    for (auto line = snapshot_.console.begin(); words.empty() && line != snapshot_.console.end(); ++line) {
      words = CleanWords(line->text);
    }
    return words;
  }

  const PrinterSnapshot& snapshot_;
  const MappingSettings& settings_;
  const PrinterTables tables_;
  PrinterConditions& conditions_;
  OwnWords words_;
  std::set<ConditionKind> reportedByRows_;
  std::set<std::pair<std::int32_t, std::int32_t>> namedByRows_;  // alert group and row index
  std::string unmappedWords_;  // of the first row that no rule names
  bool alerted_ = false;
  bool noticed_ = false;  // a row tells of a state such as power saver
};

}  // namespace

PrinterConditions MapConditions(const PrinterSnapshot& snapshot, bool configChanged,
                                const MappingSettings& settings) {
  PrinterConditions conditions;
  conditions.model = ModelText(snapshot, kMaxModelLength);
  conditions.inputs = InputLocations(snapshot.inputs);
  conditions.outputs = OutputLocations(snapshot.outputs);
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) conditions.categories[bit].group = kCategoryGroups[bit];
  ConditionMapper(snapshot, settings, conditions).Map();
  if (configChanged) conditions.categories[category::kConfiguration].entries.push_back(kReReadListsEntry);
  return conditions;
}

}  // namespace korbce::snmp
