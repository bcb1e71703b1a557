#pragma once
// The printer's own words as the location of an alert that the printer
// database only knows as "Unknown ...": each text becomes one more output bin
// of the printer's list, under a key that no output bin uses, so that a row of
// location kind 2000 appends it to the message.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "korbce/printer_state.h"

namespace korbce::snmp {

class OwnWords {
 public:
  // outputs: the printer's output bins, to which the words are appended.
  // told: the keys and texts the library was told before; a text keeps its
  // key, and a new text takes a key that names nothing yet where one is left.
  OwnWords(std::vector<Location>& outputs, const std::vector<Location>& told) : outputs_(outputs), told_(told) {}

  // The key of the cleaned text; 0, which names no location, when the text is
  // blank or neither a key nor room in the list is left.
  std::uint8_t KeyOf(std::string_view text);
  const std::vector<Location>& Words() const { return words_; }

 private:
  bool Used(std::uint8_t key) const;
  std::uint8_t ToldKey(const std::string& words) const;
  std::uint8_t FreeKey() const;

  std::vector<Location>& outputs_;
  const std::vector<Location>& told_;
  std::vector<Location> words_;
};

// Adds the words to what the library was told, a key's new text replacing
// its old one as the library's list does; whether any of them was new.
bool TellWords(std::vector<Location>& told, const std::vector<Location>& words);

// The text up to its first NUL, with control bytes and runs of blanks made
// one space, trimmed, and cut to a location name's size on a character's
// boundary.
std::string CleanWords(std::string_view text);

}  // namespace korbce::snmp
