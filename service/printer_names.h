#pragma once
// Display names of the engine's adapter product and port attachment codes.

#include <cstdint>
#include <string_view>

// Adapter product name of an adapterType code; empty for unknown codes.
std::string_view AdapterProductName(std::uint16_t adapterType);

// Port attachment name of a portType code; empty for unknown codes.
std::string_view PortAttachmentName(std::uint16_t portType);
