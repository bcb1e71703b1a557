#include <exception>
#include <new>
#include <optional>
#include <vector>

#include "bce/bce.h"
#include "service/printer_discovery.h"
#include "settings/settings_readers.h"

void PrinterDiscovery::ConfigureSubnets() {
  std::optional<SubnetList> subnets = ReadSubnetList(settings_.settingsPath);
  if (!subnets) return;
  BceExchangeNetInfo(NETINFO_TARGET_ALL, NETINFO_PROTOCOL_TCPIP, NETINFO_REQUEST_SUBNETS, subnets->Data(),
                     static_cast<std::uint32_t>(subnets->Size()), 0, 0, IgnoreNetInfoReply);
  ExchangeNetInfo();
}

void PrinterDiscovery::ExchangeNetInfo() {
  std::uint8_t query[8] = {};  // the two 32-bit words 1 and 0
  WriteLe32(query, 1);
  std::int32_t result;
  {
    Running running(*this);
    result = BceExchangeNetInfo(NETINFO_TARGET_ALL, NETINFO_PROTOCOL_TCPIP, NETINFO_REQUEST_QUERY, query, sizeof query,
                                0, 0, OnNetInfoReply);
  }
  if (result == 0) ApplyPendingNetInfo();
}

void PrinterDiscovery::ApplyPendingNetInfo() {
  while (!pendingNetInfo_.empty()) {
    try {
      std::vector<std::uint8_t> block = BuildNetInfoBlock(pendingNetInfo_.front());
      BceSetNetInfo(NETINFO_TARGET_ALL, NETINFO_PROTOCOL_TCPIP, NETINFO_KIND_ENTRY, block.data(),
                    static_cast<std::uint32_t>(block.size()));
    } catch (const std::bad_alloc&) {
      // No room for the block: this entry is skipped.
    }
    pendingNetInfo_.pop_front();
  }
}

void PrinterDiscovery::OnNetInfoReply(const std::uint8_t* record, std::uint32_t length) {
  if (running_ == nullptr) return;
  try {
    if (std::optional<NetInfoEntry> entry = ParseNetInfoReply(record, length)) {
      running_->pendingNetInfo_.push_back(std::move(*entry));
    }
  } catch (const std::exception&) {
    // Out of memory: the entry is lost; the next exchange asks again.
  }
}

void PrinterDiscovery::IgnoreNetInfoReply(const std::uint8_t*, std::uint32_t) {}
