#pragma once
// Deciding whether the sender holds an event back, by the filters of the EIF
// configuration and the FilterMode key.

#include <string_view>

#include "eif/eif_list.h"

// The event's attributes: first "Class" with the text before the first ";",
// then each name=value of the rest in order. Quoted values keep their
// apostrophes; "=" and ";" inside apostrophes do not separate.
EifList<EifPair> ParseEventAttributes(std::string_view eventText);

// 1 when the event is held back, 0 when it passes. OUT mode (the default)
// holds back events that some filter of the list matches; IN mode (FilterMode
// "IN" or "in") holds back those that no filter matches. An event without ";"
// always passes.
int EventIsFiltered(std::string_view eventText, const EifList<EifFilter>& filters);
