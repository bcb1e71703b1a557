#pragma once
// Reads the one event class of a BAROC file: its name, its base class and
// its slots with their facets, in the order written.

#include <optional>
#include <string>
#include <vector>

struct BarocSlot {
  std::string name;
  std::string type;          // STRING, INTEGER, ...; empty for a slot of the base class
  std::string defaultValue;  // as written, quotes included; empty when none
};

struct BarocClass {
  std::string name;
  std::string base;
  std::vector<BarocSlot> slots;
};

// The class of the text, or nothing with the reason in *error when the text
// is not one TEC_CLASS: ... ISA ... DEFINES { ... }; END.
std::optional<BarocClass> ParseBarocClass(const std::string& text, std::string* error);
