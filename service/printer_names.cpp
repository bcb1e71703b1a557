#include "service/printer_names.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

using NameEntry = std::pair<std::uint16_t, std::string_view>;

constexpr NameEntry kAdapterProducts[] = {
    {1, "Portova"},     {2, "Portova M3"},   {4, "Portova M3"},   {16, "Portova M2"},
    {32, "Portova S1"}, {128, "Portova Q3"}, {129, "Portova Q1"},
};

constexpr NameEntry kPortAttachments[] = {
    {1, "Parallel 1"},
    {2, "Parallel 2"},
    {257, "Serial"},
};

template <std::size_t N>
std::string_view FindName(const NameEntry (&table)[N], std::uint16_t code) {
  auto found = std::find_if(std::begin(table), std::end(table), [code](const NameEntry& e) { return e.first == code; });
  return found == std::end(table) ? std::string_view{} : found->second;
}

}  // namespace

std::string_view AdapterProductName(std::uint16_t adapterType) { return FindName(kAdapterProducts, adapterType); }

std::string_view PortAttachmentName(std::uint16_t portType) { return FindName(kPortAttachments, portType); }
