#pragma once
// EventAdapter: the adapter's start-up on the main thread and its worker
// threads: registration of every printer for alert capture, periodic
// rediscovery, and the sender that hands queued events to the TEC sender.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "eif/tec_sender.h"
#include "platform/event.h"
#include "platform/thread.h"
#include "service/adapter_status.h"
#include "service/event_queue.h"
#include "service/printer_discovery.h"
#include "service/printer_table.h"
#include "service/stop_ends_waits_clock.h"
#include "settings/adapter_settings.h"

inline constexpr std::uint32_t kRegistrationThreadStoppedCode = 727;
inline constexpr std::uint32_t kRediscoveryThreadExitCode = 747;

class EventAdapter {
 public:
  EventAdapter(PrinterTable& table, EventQueue& queue);
  // Closes the TEC sender if one is open.
  ~EventAdapter();
  EventAdapter(const EventAdapter&) = delete;
  EventAdapter& operator=(const EventAdapter&) = delete;

  // Reads the settings, creates the capture window, registers with the
  // engine, discovers the printers, hands the alert callback to the library,
  // opens the TEC sender and starts the worker threads. False at the first
  // step that fails, or when stopEvent is found signalled once the printers
  // are discovered; the steps done stay as they are.
  bool StartAdapter(const std::string& settingsPath, platform::Event& stopEvent);

  // How the adapter is doing, in one line; empty until it has started.
  std::string StatusLine() { return status_.Line(); }
  // Counts that grow while the sender thread, and the engine's thread, work.
  std::uint64_t SenderProgress() const;
  static std::uint64_t EngineProgress();

 private:
  void StartRegistrationThread();
  std::uint32_t RegistrationThread();
  std::uint32_t RediscoveryThread();
  void RediscoveryPass();

  PrinterTable& table_;
  EventQueue& queue_;
  AdapterSettings settings_;
  PrinterDiscovery discovery_;
  std::int16_t appId_ = 0;
  platform::Event* stopEvent_ = nullptr;
  std::unique_ptr<StopEndsWaitsClock> tecClock_;
  std::unique_ptr<TecHandle, TecHandleCloser> tecHandle_;
  AdapterStatus status_{table_};
  // The sender thread's passes, sends and waits; with the events that its
  // handle delivered, cached ones included, they tell its progress.
  std::atomic<std::uint64_t> senderProgress_{0};
  std::atomic<const TecHandle*> progressHandle_{nullptr};
  platform::Thread rediscoveryThread_;
  platform::Thread senderThread_;
};
