#include "korbce/snmp/snmp_source.h"

#include <algorithm>
#include <utility>

#include "bce/bce_records.h"
#include "common/byte_order.h"
#include "common/decimal_text.h"
#include "common/ipv4_text.h"
#include "korbce/snmp/condition.h"
#include "korbce/snmp/flap_damper.h"
#include "korbce/snmp/own_words.h"
#include "korbce/snmp/polled_levels.h"
#include "korbce/snmp/printer_conditions.h"
#include "korbce/snmp/printer_oids.h"
#include "korbce/snmp/snapshot_decoder.h"
#include "platform/critical_section.h"
#include "platform/host_lookup.h"
#include "platform/neighbour_table.h"
#include "platform/root.h"
#include "platform/trace.h"
#include "profile/profile.h"

namespace korbce {
namespace {

using namespace snmp;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kSection = "SNMP";
constexpr char kDefaultIdFile[] = "var/lib/korevnts/snmp-printers";
constexpr std::uint32_t kEnumTcpIp = 0x2;
// The device class of network printers in the printer database.
constexpr std::uint8_t kNetworkDeviceClass = 20;
// Polls a printer may miss before it counts as not communicating.
constexpr int kMissedPollsForLoss = 2;
// A sweep asks at most this many hosts of one subnet.
constexpr std::size_t kMaxSweepHosts = 65536;
// The ids one check may be told of one by one: as many as there are ids.
constexpr std::size_t kMaxChangedIds = 65536;
// New words of a printer are told this long before the alerts that show them,
// so that the library has re-read the printer's list when it composes them.
constexpr std::chrono::seconds kWordsLead{2};
// A printer that has not answered a probe is probed again after Poll
// seconds, then after twice as long each time, up to this (or Poll when longer).
constexpr std::chrono::seconds kLongestProbeInterval{300};
// Notifications poll a printer at once, at most once in this time.
constexpr std::chrono::seconds kExtraPollInterval{1};

std::string HexOf(const std::array<std::uint8_t, 6>& mac) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : mac) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

// The hardware address of an id file key "mac:" and 12 hexadecimal digits.
std::optional<std::array<std::uint8_t, 6>> MacOfKey(const std::string& key) {
  constexpr std::size_t kDigitsAt = 4;
  if (key.size() != kDigitsAt + 12) return std::nullopt;
  std::array<std::uint8_t, 6> mac{};
  for (std::size_t i = 0; i < mac.size(); ++i) {
    const auto byte = common::ParseHexadecimal(std::string_view(key).substr(kDigitsAt + 2 * i, 2));
    if (!byte) return std::nullopt;
    mac[i] = static_cast<std::uint8_t>(*byte);
  }
  return mac;
}

std::vector<Oid> ProbeWalks() {
  using namespace oids;
  // All of prtGeneralTable, so that a host answering any of its objects is found.
  std::vector<Oid> walks = {kSysDescr,        kHrDeviceType,           kHrDeviceDescr,         kHrDeviceStatus,
                            kHrPrinterStatus, kHrPrinterDetectedErrorState, kPrtGeneralEntry};
  for (std::uint32_t column : {input::kType, input::kMaxCapacity, input::kCurrentLevel, input::kName,
                               input::kDescription}) {
    walks.push_back(Column(kPrtInputEntry, column));
  }
  for (std::uint32_t column : {output::kName, output::kDescription}) walks.push_back(Column(kPrtOutputEntry, column));
  for (std::uint32_t column : {supply::kColorantIndex, supply::kType, supply::kDescription, supply::kMaxCapacity,
                               supply::kLevel}) {
    walks.push_back(Column(kPrtMarkerSuppliesEntry, column));
  }
  walks.push_back(Column(kPrtMarkerColorantEntry, colorant::kValue));
  walks.push_back(Column(kPrtConsoleDisplayBufferEntry, console::kText));
  walks.insert(walks.end(), {kPrtAlertEntry, kIpAdEntIfIndex, kIfPhysAddress});
  return walks;
}

FetchPlan PollPlan(std::int32_t device) {
  const auto at = [device](Oid oid) {
    oid.push_back(static_cast<std::uint32_t>(device));
    return oid;
  };
  FetchPlan plan;
  plan.gets = {at(oids::kHrDeviceStatus), at(oids::kHrPrinterStatus), at(oids::kHrPrinterDetectedErrorState),
               at(oids::kPrtGeneralConfigChanges)};
  plan.walks = {oids::kPrtAlertEntry, oids::Column(oids::kPrtMarkerSuppliesEntry, oids::supply::kLevel),
                oids::Column(oids::kPrtInputEntry, oids::input::kCurrentLevel),
                oids::Column(oids::kPrtConsoleDisplayBufferEntry, oids::console::kText)};
  return plan;
}

std::string Endpoint(const SessionSettings& settings) { return settings.host + ":" + std::to_string(settings.port); }

void TraceProblems(ProblemLog& log, const SessionSettings& settings, const FetchResult& result) {
  for (const std::string& problem : result.problems) log.Report(Endpoint(settings), problem);
}

// A poll whose answer lacks a value the printer gave before has lost it on
// the way (an exception or a wrong type where the value belongs).
bool LostValues(const PrinterSnapshot& before, const PrinterSnapshot& now) {
  return (before.deviceStatus && !now.deviceStatus) || (before.printerStatus && !now.printerStatus) ||
         (before.configChanges && !now.configChanges);
}

std::string KeyOf(const std::string& addressKey, const DecodedPrinter& decoded) {
  return decoded.macAddress ? "mac:" + HexOf(*decoded.macAddress) : addressKey;
}

// The library learns a printer's lists when it registers the printer, or from
// a configuration change: the change comes first, with the alerts as told.
void TellListsFirst(PrinterState& state, const PrinterState& told) {
  state.categories = told.categories;
  state.offline = told.offline;
  state.categories[category::kConfiguration].entries = {kReReadListsEntry};
}

}  // namespace

struct SnmpSource::NetworkPrinter {
  std::uint16_t id = 0;
  Probe probe;
  std::optional<std::array<std::uint8_t, 6>> macAddress;
  std::int32_t deviceIndex = 1;
  PrinterSnapshot snapshot;
  std::shared_ptr<const PrinterState> state;
  bool watched = false;
  std::chrono::seconds interval{60};
  Clock::time_point nextPoll;
  bool notified = false;                        // a notification asks for a poll
  std::optional<Clock::time_point> extraPolled; // when a notification's poll began last
  bool polling = false;        // a fetch of the printer is under way
  bool refreshDue = false;     // its tables are to be fetched again
  int missedPolls = 0;
  bool online = true;
  std::vector<Location> toldWords;           // the own words in the library's list
  std::optional<Clock::time_point> wordsDue;  // when the alerts that show new words are told
  FlapDamper damper;
  bool pollToJudge = false;      // a poll's conditions are yet to be shown to the damper
  PrinterSnapshot toldSnapshot;  // what the conditions told last were mapped from
  // false: it has not answered a probe yet, and is probed again until it does
  bool probed = true;
  std::chrono::seconds probeInterval{60};
  Clock::time_point nextProbe;
  std::optional<Clock::time_point> scheduled;  // its entry in the schedule
};

SnmpSource::SnmpSource(std::string defaultIdFile, std::function<bool(std::uint16_t)> taken)
    : defaultIdFile_(defaultIdFile.empty() ? platform::RootPath(kDefaultIdFile) : std::move(defaultIdFile)),
      taken_(std::move(taken)) {}

SnmpSource::~SnmpSource() { Stop(); }

void SnmpSource::Stop() {
  transport_.Stop();
  receiver_.Close();
}

void SnmpSource::Refresh(EngineFile& file) {
  const auto& document = file.document;
  platform::ScopedLock lock(mutex_);
  if (document == document_) return;
  document_ = document;
  const platform::ProfileSection* section = document ? document->Find(kSection) : nullptr;
  if (section == nullptr) {
    config_.reset();
    printers_.clear();
    byAddressStale_ = true;
    changes_.all = true;
    due_.clear();
    return;
  }
  auto config = ReadSnmpConfig(*section, file.path, defaultIdFile_);
  if (!ids_ || ids_->Path() != config.idFile) ids_ = std::make_unique<PrinterIds>(config.idFile);
  transport_.SetMaxInFlight(config.maxInFlight);
  for (auto& [id, printer] : printers_) printer->interval = std::min(printer->interval, config.poll);
  config_ = std::move(config);
  if (!transportStarted_) {
    transportStarted_ = transport_.Start([this] { Tick(); });
    if (!transportStarted_) platform::OutputDebugString("korbce: cannot start the SNMP thread\n");
  }
}

void SnmpSource::SetSubnets(std::vector<Subnet> subnets) {
  platform::ScopedLock lock(mutex_);
  subnets_ = std::move(subnets);
}

std::optional<SnmpSource::Probe> SnmpSource::ProbeOf(const SnmpConfig& config, const SnmpTarget& target) {
  auto address = common::ParseDottedQuadHostOrder(target.host);
  if (!address) {
    const auto resolved = platform::ResolveIPv4Address(target.host);
    if (!resolved) {
      platform::OutputDebugString("korbce: SNMP target " + target.host + " has no IPv4 address; not probed\n");
      return std::nullopt;
    }
    address = common::NetworkToHost32(*resolved);
  }
  Probe probe;
  probe.address = *address;
  SessionSettings& settings = probe.settings;
  settings.host = common::FormatIPv4HostOrder(*address);
  settings.port = target.port;
  settings.credentials = config.credentials;
  // The part before "@" names the community, or with SNMPv3 the context.
  if (!target.community.empty()) {
    if (settings.credentials.version == SnmpVersion::V3) {
      settings.credentials.contextName = target.community;
    } else {
      settings.credentials.community = target.community;
    }
  }
  settings.timeout = config.timeout;
  settings.retries = config.retries;
  probe.key = settings.host + ":" + std::to_string(settings.port);
  if (!target.community.empty()) probe.key += "@" + target.community;
  return probe;
}

std::optional<PrinterList> SnmpSource::Enumerate(std::uint32_t mask) {
  std::optional<SnmpConfig> config;
  std::vector<Subnet> subnets;
  {
    platform::ScopedLock lock(mutex_);
    config = config_;
    subnets = subnets_;
  }
  if (!config || (mask & kEnumTcpIp) == 0) return PrinterList();
  std::vector<Probe> probes;
  for (const SnmpTarget& target : config->targets) {
    if (auto probe = ProbeOf(*config, target)) {
      probe->target = true;
      probes.push_back(std::move(*probe));
    }
  }
  if (config->scanSubnets) {
    for (const Subnet& subnet : subnets) {
      for (std::uint32_t host : HostsOf(subnet, kMaxSweepHosts)) {
        auto probe = ProbeOf(*config, SnmpTarget{common::FormatIPv4HostOrder(host), config->port, ""});
        if (probe) probes.push_back(std::move(*probe));
      }
    }
  }
  return ProbeAll(probes);
}

PrinterList SnmpSource::EnumeratePort(std::string_view port) {
  std::optional<SnmpConfig> config;
  {
    platform::ScopedLock lock(mutex_);
    config = config_;
  }
  if (!config) return {};
  const auto target = TargetOfDeviceUri(port, config->port);
  const auto probe = target ? ProbeOf(*config, *target) : std::nullopt;
  if (!probe) return {};
  return ProbeAll({*probe});
}

// Probes every host, up to MaxInFlight in flight and as many waiting to
// start, and waits for all.
PrinterList SnmpSource::ProbeAll(const std::vector<Probe>& probes) {
  struct Batch {
    explicit Batch(std::size_t count) : left(count), found(count) {}
    platform::CriticalSection lock;
    platform::ConditionVariable finished;
    std::size_t left GUARDED_BY(lock);
    std::size_t open GUARDED_BY(lock) = 0;  // submitted and not ended
    std::vector<std::shared_ptr<const PrinterState>> found GUARDED_BY(lock);
  };
  std::size_t window = 2 * SnmpConfig{}.maxInFlight;
  {
    platform::ScopedLock lock(mutex_);
    if (config_) window = 2 * std::size_t{config_->maxInFlight};
  }
  // Not held while a fetch is submitted: a stopped transport ends it at once.
  auto batch = std::make_shared<Batch>(probes.size());
  for (std::size_t i = 0; i < probes.size(); ++i) {
    {
      platform::ScopedLock lock(batch->lock);
      while (batch->open >= window) batch->finished.Wait(batch->lock);
      ++batch->open;
    }
    FetchPlan plan;
    plan.walks = ProbeWalks();
    transport_.Submit(probes[i].settings, std::move(plan), [this, batch, i, probe = probes[i]](FetchResult result) {
      auto state = Found(probe, result);
      platform::ScopedLock lock(batch->lock);
      batch->found[i] = std::move(state);
      --batch->open;
      --batch->left;
      batch->finished.NotifyAll();
    });
  }
  {
    platform::ScopedLock lock(batch->lock);
    while (batch->left != 0) batch->finished.Wait(batch->lock);
  }
  // Once for the whole batch: the file holds every printer, so a write for
  // each probe would cost as much as the printers already found.
  SaveIds();
  platform::ScopedLock lock(batch->lock);
  PrinterList printers;
  std::vector<bool> listed(std::size_t{UINT16_MAX} + 1);
  for (auto& state : batch->found) {
    if (state && !listed[state->id]) {
      listed[state->id] = true;
      printers.push_back(state);
    }
  }
  return printers;
}

// A probe's answer: the printer it found, known by its id from now on (the
// id file is written once the whole batch has answered).
std::shared_ptr<const PrinterState> SnmpSource::Found(const Probe& probe, const FetchResult& result) {
  TraceProblems(problems_, probe.settings, result);
  DecodedPrinter decoded;
  std::shared_ptr<const PrinterState> state;
  if (!result.answered) state = Silent(probe);
  else if (ShowsPrinter(probe, result, decoded)) state = Remember(probe, decoded);
  return state;
}

// Decodes the objects, and says on the trace when a table was cut at its bound.
DecodedPrinter SnmpSource::Decode(const Probe& probe, const std::vector<VarBind>& objects,
                                  std::optional<std::int32_t> knownDevice) {
  DecodedPrinter decoded = DecodeObjects(objects, probe.address, knownDevice);
  if (decoded.tablesCut) {
    problems_.Report(Endpoint(probe.settings), "a table has more than " + std::to_string(kMaxTableRows) +
                                                   " rows; the rows past them are left out");
  }
  return decoded;
}

bool SnmpSource::ShowsPrinter(const Probe& probe, const FetchResult& result, DecodedPrinter& decoded) {
  if (!result.answered) return false;
  decoded = Decode(probe, result.objects);
  // A printer that publishes no hardware address of its own is told apart by
  // the one this machine's neighbour table holds when it is on the same link.
  // Its id stays keyed by address and port: ids kept before stay, and a table
  // that has lost the entry never gives the printer a second id.
  if (decoded.isPrinter && !decoded.macAddress)
    decoded.neighbourAddress = platform::NeighbourHardwareAddress(common::HostToNetwork32(probe.address));
  return decoded.isPrinter;
}

// The id of the printer the probe found: the one its hardware address has,
// else the one its address had while it did not answer, else a new one.
std::optional<std::uint16_t> SnmpSource::IdFor(const Probe& probe, const std::string& key) {
  if (key == probe.key) return ids_->IdOf(key, taken_);
  const auto byHardware = ids_->Known(key);
  const auto byAddress = ids_->Known(probe.key);
  const auto id = byHardware ? byHardware : byAddress ? byAddress : ids_->IdOf(key, taken_);
  if (!id) return std::nullopt;
  ids_->Bind(key, *id);
  ids_->Bind(probe.key, *id);
  if (byAddress && *byAddress != *id) {
    // The stand-in for the silent address gives way to the printer's own id.
    const auto standIn = printers_.find(*byAddress);
    if (standIn != printers_.end() && !standIn->second->probed) {
      printers_.erase(standIn);
      byAddressStale_ = true;
      Changed(*byAddress);
    }
  }
  return id;
}

// Gives the printer its id, and keeps what the probe found of it.
std::shared_ptr<const PrinterState> SnmpSource::Remember(const Probe& probe, DecodedPrinter& decoded) {
  platform::ScopedLock lock(mutex_);
  if (!ids_) return nullptr;
  const auto id = IdFor(probe, KeyOf(probe.key, decoded));
  if (!id) {
    problems_.Report(Endpoint(probe.settings), "no printer id left");
    return nullptr;
  }
  auto& printer = printers_[*id];
  if (!printer) {
    printer = std::make_unique<NetworkPrinter>();
    printer->id = *id;
    printer->interval = config_ ? config_->poll : std::chrono::seconds(60);
  }
  printer->probe = probe;
  byAddressStale_ = true;
  printer->macAddress = decoded.macAddress ? decoded.macAddress : decoded.neighbourAddress;
  printer->deviceIndex = decoded.deviceIndex.value_or(1);
  printer->snapshot = std::move(decoded.snapshot);
  printer->missedPolls = 0;
  printer->online = true;
  printer->probed = true;
  Publish(*printer, false);
  if (const auto& model = printer->state->model; model && !model->empty()) ids_->SetModel(*id, *model);
  return printer->state;
}

std::shared_ptr<const PrinterState> SnmpSource::Silent(const Probe& probe) {
  platform::ScopedLock lock(mutex_);
  if (!ids_ || !transportStarted_) return nullptr;
  auto id = ids_->Known(probe.key);
  if (!id && !probe.target) return nullptr;
  if (!id) id = ids_->IdOf(probe.key, taken_);
  const std::string endpoint = Endpoint(probe.settings);
  if (!id) {
    problems_.Report(endpoint, "no printer id left");
    return nullptr;
  }
  auto& printer = printers_[*id];
  if (!printer) {
    printer = std::make_unique<NetworkPrinter>();
    printer->id = *id;
    printer->probe = probe;
    byAddressStale_ = true;
    printer->interval = config_ ? config_->poll : std::chrono::seconds(60);
    printer->online = false;
    printer->probed = false;
    printer->probeInterval = printer->interval;
    printer->nextProbe = Clock::now() + printer->probeInterval;
    // What the id file knows of it: its hardware address and model.
    if (const auto key = ids_->HardwareKeyOf(*id)) printer->macAddress = MacOfKey(*key);
    printer->snapshot.deviceDescr = ids_->ModelOf(*id).value_or("");
    Publish(*printer, false);
  }
  problems_.Report(endpoint, "did not answer its probe; watched as printer " + std::to_string(*id) +
                                 ", not communicating until it answers");
  return printer->state;
}

// Writes the ids given since the last write, with mutex_ released.
void SnmpSource::SaveIds() {
  platform::ScopedLock writing(idFileLock_);
  std::optional<std::string> text;
  std::string path;
  {
    platform::ScopedLock lock(mutex_);
    if (!ids_) return;
    text = ids_->TakeChanges();
    path = ids_->Path();
  }
  if (text) WriteIdFile(path, *text, idFileProblem_);
}

std::shared_ptr<const PrinterState> SnmpSource::Find(std::uint16_t id) {
  platform::ScopedLock lock(mutex_);
  const auto found = printers_.find(id);
  return found == printers_.end() ? nullptr : found->second->state;
}

void SnmpSource::Watch(std::uint16_t id, std::optional<std::chrono::seconds> checkInterval) {
  platform::ScopedLock lock(mutex_);
  const auto found = printers_.find(id);
  if (found == printers_.end()) return;
  NetworkPrinter& printer = *found->second;
  printer.interval = config_ ? config_->poll : printer.interval;
  if (checkInterval) printer.interval = std::max(std::chrono::seconds(1), std::min(printer.interval, *checkInterval));
  if (!printer.watched) printer.nextPoll = Clock::now();
  printer.watched = true;
  Schedule(printer);
}

// On the transport's thread: starts the polls and probes that are due.
void SnmpSource::Tick() {
  TakeNotifications();
  platform::ScopedLock lock(mutex_);
  const auto now = Clock::now();
  // What stays due waits for a later turn, when fetches have ended.
  while (!due_.empty() && due_.begin()->first <= now && !transport_.Backlogged()) {
    const std::uint16_t id = due_.begin()->second;
    due_.erase(due_.begin());
    const auto found = printers_.find(id);
    if (found == printers_.end()) continue;
    found->second->scheduled.reset();
    Visit(*found->second, now);
  }
}

void SnmpSource::Visit(NetworkPrinter& printer, Clock::time_point now) {
  if (printer.wordsDue && now >= *printer.wordsDue) Publish(printer, false);
  if (!printer.polling) {
    if (!printer.probed) {
      if (now >= printer.nextProbe) StartProbe(printer);
    } else if (printer.watched && (now >= printer.nextPoll || ExtraPollDue(printer, now))) {
      StartPoll(printer, now);
    }
  }
  Schedule(printer);
}

void SnmpSource::Schedule(NetworkPrinter& printer) {
  std::optional<Clock::time_point> next = printer.wordsDue;
  if (!printer.polling) {
    // A printer being fetched is scheduled again when its fetch ends.
    std::optional<Clock::time_point> fetch;
    if (!printer.probed) fetch = printer.nextProbe;
    else if (printer.watched) fetch = std::min(printer.nextPoll, ExtraPollTime(printer));
    if (fetch && (!next || *fetch < *next)) next = fetch;
  }
  if (!next || (printer.scheduled && *printer.scheduled <= *next)) return;
  if (printer.scheduled) due_.erase({*printer.scheduled, printer.id});
  due_.insert({*next, printer.id});
  printer.scheduled = next;
}

void SnmpSource::TakeNotifications() {
  NotificationSettings settings;
  {
    platform::ScopedLock lock(mutex_);
    if (config_) {
      settings.port = config_->trapPort;
      const Credentials& credentials = config_->credentials;
      settings.community = config_->trapCommunity.empty() ? credentials.community : config_->trapCommunity;
      if (credentials.version == SnmpVersion::V3) settings.user = credentials.user;
    }
  }
  receiver_.Configure(settings);
  receiver_.Read();
}

bool SnmpSource::Notified(std::uint32_t address) {
  platform::ScopedLock lock(mutex_);
  if (byAddressStale_) IndexAddresses();
  bool watched = false;
  const auto [first, last] = byAddress_.equal_range(address);
  for (auto entry = first; entry != last; ++entry) {
    const auto found = printers_.find(entry->second);
    if (found == printers_.end() || !found->second->watched || !found->second->probed) continue;
    found->second->notified = true;
    Schedule(*found->second);
    watched = true;
  }
  return watched;
}

void SnmpSource::IndexAddresses() {
  byAddress_.clear();
  for (const auto& [id, printer] : printers_) byAddress_.emplace(printer->probe.address, id);
  byAddressStale_ = false;
}

// A poll that a notification asks for starts when the printer is not being
// polled, and a second after the last one a notification started.
bool SnmpSource::ExtraPollDue(const NetworkPrinter& printer, Clock::time_point now) {
  return printer.notified && now >= ExtraPollTime(printer);
}

// When the poll a notification asks for may start; never, without one.
Clock::time_point SnmpSource::ExtraPollTime(const NetworkPrinter& printer) {
  if (!printer.notified) return Clock::time_point::max();
  return printer.extraPolled ? *printer.extraPolled + kExtraPollInterval : Clock::time_point::min();
}

void SnmpSource::StartProbe(NetworkPrinter& printer) {
  printer.polling = true;
  FetchPlan plan;
  plan.walks = ProbeWalks();
  transport_.Submit(printer.probe.settings, std::move(plan),
                    [this, id = printer.id, probe = printer.probe](FetchResult result) { Probed(id, probe, result); });
}

// A probe of a printer that had not answered one: it is known from now on,
// or probed again later.
void SnmpSource::Probed(std::uint16_t id, const Probe& probe, const FetchResult& result) {
  TraceProblems(problems_, probe.settings, result);
  DecodedPrinter decoded;
  const bool found = ShowsPrinter(probe, result, decoded);
  {
    platform::ScopedLock lock(mutex_);
    const auto standIn = printers_.find(id);
    if (standIn == printers_.end()) return;
    NetworkPrinter& printer = *standIn->second;
    printer.polling = false;
    if (!found) {
      const auto poll = config_ ? config_->poll : printer.interval;
      printer.probeInterval = std::min(std::max(poll, kLongestProbeInterval), printer.probeInterval * 2);
      printer.nextProbe = Clock::now() + printer.probeInterval;
      Schedule(printer);
      return;
    }
  }
  problems_.Report(Endpoint(probe.settings), "answers its probe now");
  Remember(probe, decoded);
  SaveIds();
}

void SnmpSource::StartPoll(NetworkPrinter& printer, Clock::time_point now) {
  if (std::exchange(printer.notified, false)) printer.extraPolled = now;
  printer.polling = true;
  printer.nextPoll = now + printer.interval;
  const std::uint16_t id = printer.id;
  if (printer.refreshDue) {
    FetchPlan plan;
    plan.walks = ProbeWalks();
    transport_.Submit(printer.probe.settings, std::move(plan),
                      [this, id](FetchResult result) { Refreshed(id, std::move(result)); });
    return;
  }
  transport_.Submit(printer.probe.settings, PollPlan(printer.deviceIndex),
                    [this, id](FetchResult result) { Polled(id, std::move(result)); });
}

// The end of a fetch of the printer: the printer, null when it is gone.
SnmpSource::NetworkPrinter* SnmpSource::FetchEnded(std::uint16_t id, const FetchResult& result) {
  const auto found = printers_.find(id);
  if (found == printers_.end()) return nullptr;
  NetworkPrinter& printer = *found->second;
  printer.polling = false;
  Schedule(printer);
  TraceProblems(problems_, printer.probe.settings, result);
  return &printer;
}

// A poll without a whole answer leaves the printer's conditions as they were;
// after a few in a row it is not communicating.
void SnmpSource::Missed(NetworkPrinter& printer) {
  if (++printer.missedPolls >= kMissedPollsForLoss && printer.online) {
    printer.online = false;
    Publish(printer, false);
  }
}

void SnmpSource::Polled(std::uint16_t id, FetchResult result) {
  platform::ScopedLock lock(mutex_);
  NetworkPrinter* const ended = FetchEnded(id, result);
  if (ended == nullptr) return;
  NetworkPrinter& printer = *ended;
  if (!result.answered) return Missed(printer);
  DecodedPrinter decoded = Decode(printer.probe, result.objects, printer.deviceIndex);
  if (!result.intact || decoded.tablesCut || LostValues(printer.snapshot, decoded.snapshot)) {
    problems_.Report(Endpoint(printer.probe.settings),
                     "the poll's answer is broken or incomplete; the printer's conditions are kept as they were");
    return Missed(printer);
  }
  printer.missedPolls = 0;
  PrinterSnapshot& snapshot = printer.snapshot;
  const auto previousChanges = snapshot.configChanges;
  snapshot.deviceStatus = decoded.snapshot.deviceStatus;
  snapshot.printerStatus = decoded.snapshot.printerStatus;
  snapshot.detectedErrorState = decoded.snapshot.detectedErrorState;
  snapshot.configChanges = decoded.snapshot.configChanges;
  snapshot.alerts = std::move(decoded.snapshot.alerts);
  TakeLevels(snapshot, decoded.snapshot);
  printer.online = true;
  printer.pollToJudge = true;
  if (previousChanges && snapshot.configChanges && *snapshot.configChanges > *previousChanges) {
    // The sources and bins are fetched again before the change is told, so
    // that the library reads them as they are now.
    printer.refreshDue = true;
    printer.nextPoll = Clock::now();
    Schedule(printer);
    return;
  }
  Publish(printer, false);
}

void SnmpSource::Refreshed(std::uint16_t id, FetchResult result) {
  platform::ScopedLock lock(mutex_);
  NetworkPrinter* const ended = FetchEnded(id, result);
  if (ended == nullptr) return;
  NetworkPrinter& printer = *ended;
  if (!result.answered || !result.intact) {
    if (result.answered) {
      problems_.Report(Endpoint(printer.probe.settings),
                       "the answer is broken or incomplete; the printer's tables are kept as they were");
    }
    return Missed(printer);
  }
  printer.missedPolls = 0;
  printer.refreshDue = false;
  printer.online = true;
  DecodedPrinter decoded = Decode(printer.probe, result.objects, printer.deviceIndex);
  printer.snapshot = std::move(decoded.snapshot);
  Publish(printer, true);
}

// Makes the printer's state anew from its snapshot; the engine core compares
// it with what it told and notifies.
void SnmpSource::Publish(NetworkPrinter& printer, bool configChanged) {
  auto state = std::make_shared<PrinterState>();
  state->id = printer.id;
  if (printer.macAddress) state->macAddress = *printer.macAddress;
  state->protocolFlags = PROTOCOL_TCPIP;
  state->ipAddress = printer.probe.settings.host;
  state->deviceClass = kNetworkDeviceClass;
  state->online = printer.online;
  PrinterConditions conditions = ConditionsOf(printer, configChanged);
  state->model = std::move(conditions.model);
  state->inputs = std::move(conditions.inputs);
  state->outputs = std::move(conditions.outputs);
  state->categories = std::move(conditions.categories);
  state->offline = conditions.offline;
  const auto now = Clock::now();
  if (TellWords(printer.toldWords, conditions.words)) printer.wordsDue = now + kWordsLead;
  if (printer.wordsDue && now < *printer.wordsDue && printer.state) {
    TellListsFirst(*state, *printer.state);
  } else {
    printer.wordsDue.reset();
  }
  printer.state = std::move(state);
  Changed(printer.id);
  Schedule(printer);
}

void SnmpSource::Changed(std::uint16_t id) {
  if (changes_.all) return;
  // Past one entry an id, telling every printer costs the check no more.
  if (changes_.ids.size() >= kMaxChangedIds) {
    changes_ = {.all = true, .ids = {}};
    return;
  }
  changes_.ids.push_back(id);
}

StateChanges SnmpSource::TakeStateChanges() {
  platform::ScopedLock lock(mutex_);
  return std::exchange(changes_, StateChanges{});
}

// The printer's conditions as they stand, or, while it flaps, those told
// before it began to, with the warning that it flaps.
PrinterConditions SnmpSource::ConditionsOf(NetworkPrinter& printer, bool configChanged) {
  MappingSettings settings{config_ ? config_->supplyLowPercent : kDefaultSupplyLowPercent, printer.toldWords};
  PrinterConditions conditions = MapConditions(printer.snapshot, configChanged, settings);
  if (std::exchange(printer.pollToJudge, false)) printer.damper.Take(conditions);
  if (!printer.damper.Flapping()) {
    printer.toldSnapshot = printer.snapshot;
    return conditions;
  }
  settings.flapping = true;
  return MapConditions(printer.toldSnapshot, configChanged, settings);
}

}  // namespace korbce
