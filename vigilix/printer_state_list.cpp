#include "vigilix/printer_state_list.h"

#include "vigilix/engine_queries.h"

namespace vigilix {

PrinterState* PrinterStateList::Find(std::uint16_t printer) {
  const std::optional<std::uint64_t> arrival = arrivals_.Arrival(printer);
  return arrival ? &entries_[*arrival - takenCount_] : nullptr;
}

const PrinterState* PrinterStateList::Find(std::uint16_t printer) const {
  return const_cast<PrinterStateList*>(this)->Find(printer);
}

PrinterState& PrinterStateList::FindOrAppend(std::uint16_t printer) {
  if (PrinterState* found = Find(printer)) return *found;
  arrivals_.Set(printer, takenCount_ + entries_.size());
  try {
    PrinterState& added = entries_.emplace_back();
    added.printerId = printer;
    return added;
  } catch (...) {
    arrivals_.Erase(printer);  // out of memory: the list stays as it was
    throw;
  }
}

void PrinterStateList::SetMask(std::uint16_t printer, std::uint32_t mask) {
  platform::ScopedLock guard(lock_);
  FindOrAppend(printer).alertMask = mask;
}

void PrinterStateList::SetCommState(std::uint16_t printer, std::uint32_t state) {
  platform::ScopedLock guard(lock_);
  FindOrAppend(printer).commState = state;
}

bool PrinterStateList::TakeFirst(PendingEntry& taken) {
  platform::ScopedLock guard(lock_);
  if (entries_.empty()) return false;
  const PrinterState& first = entries_.front();
  taken = {first.printerId, first.alertMask, first.commState};
  arrivals_.Erase(first.printerId);
  entries_.pop_front();
  ++takenCount_;
  return true;
}

void PrinterStateList::Register(std::uint16_t printer, std::uint8_t deviceClass, std::string model) {
  platform::ScopedLock guard(lock_);
  PrinterState& entry = FindOrAppend(printer);
  entry.deviceClass = deviceClass;
  entry.model = std::move(model);
}

void PrinterStateList::RefreshInputs(std::int16_t application, std::uint16_t printer) {
  platform::ScopedLock guard(lock_);
  if (PrinterState* entry = Find(printer)) QueryInputSources(application, printer, entry->inputSources);
}

void PrinterStateList::RefreshOutputs(std::int16_t application, std::uint16_t printer) {
  platform::ScopedLock guard(lock_);
  if (PrinterState* entry = Find(printer)) QueryOutputBins(application, printer, entry->outputBins);
}

std::string PrinterStateList::InputName(std::uint16_t printer, std::uint8_t key) const {
  platform::ScopedLock guard(lock_);
  const PrinterState* entry = Find(printer);
  return entry == nullptr ? std::string() : entry->inputSources.Name(key);
}

std::string PrinterStateList::OutputName(std::uint16_t printer, std::uint8_t key) const {
  platform::ScopedLock guard(lock_);
  const PrinterState* entry = Find(printer);
  return entry == nullptr ? std::string() : entry->outputBins.Name(key);
}

PrinterIdentity PrinterStateList::PrinterFacts(std::uint16_t printer) const {
  platform::ScopedLock guard(lock_);
  const PrinterState* entry = Find(printer);
  return entry == nullptr ? PrinterIdentity{} : PrinterIdentity{entry->model, entry->deviceClass};
}

std::size_t PrinterStateList::Size() const {
  platform::ScopedLock guard(lock_);
  return entries_.size();
}

}  // namespace vigilix
