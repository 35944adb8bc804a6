#include "shell/port_backend.h"

#include "common/hex_text.h"

#include <algorithm>
#include <cstdio>

#include "board/access_cost.h"
#include "board/backends/direct_port.h"
#include "board/backends/parport_proc.h"
#include "board/backends/port_slots.h"
#include "board/backends/ppdev_port.h"
#include "board/real_timing.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"

namespace sorvell::shell {

namespace {

std::optional<std::uint16_t> ParseBase(const std::string& text) {
  if (text == "378") return board::kLpt378;
  if (text == "278") return board::kLpt278;
  if (text == "3BC" || text == "3bc") return board::kLpt3BC;
  return std::nullopt;
}

bool AddSimSpec(const std::string& body, BoardRequest& request, std::string& error) {
  if (body == "none") {
    request.simBoards.clear();
    return true;
  }
  const auto at = body.find('@');
  const std::string model = body.substr(0, at);
  const auto base = at == std::string::npos ? std::nullopt : ParseBase(body.substr(at + 1));
  if ((model != "4" && model != "5" && model != "6") || !base) {
    error =
        "--board sim:" + body + ": expected sim:M@PORT with M 4, 5 or 6 and PORT 378, 278 or 3BC";
    return false;
  }
  std::erase_if(request.simBoards, [&](const auto& b) { return b.base == *base; });
  request.simBoards.push_back({model[0] - '0', *base});
  return true;
}

bool AddPpdevMapping(const std::string& body, BoardRequest& request, std::string& error) {
  const auto at = body.rfind('@');
  const std::string device = body.substr(0, at);
  const auto base = at == std::string::npos ? std::nullopt : ParseBase(body.substr(at + 1));
  if (device.empty() || !base) {
    error = "--board ppdev:" + body +
            ": expected ppdev:DEVICE@PORT, e.g. ppdev:/dev/parport1@378, with PORT 378, 278 or 3BC";
    return false;
  }
  std::erase_if(request.ppdevMapped, [&](const auto& m) { return m.base == *base; });
  request.ppdevMapped.push_back({device, *base});
  return true;
}

// Whether the kernel lists a port at a board base: then it exists, and failing to open it must
// not be papered over by the simulator.
bool BoardBaseListed(const std::string& procRoot) {
  return std::ranges::any_of(board::ListParports(procRoot), [](const board::ParportEntry& e) {
    return e.base && board::BaseSlot(*e.base) != board::kNoSlot;
  });
}

std::string MappingText(const BoardRequest& request) {
  std::string text;
  for (const auto& m : request.ppdevMapped) {
    text.append(text.empty() ? " (" : ", ").append(m.device).append(" as ");
    text.append(common::HexText(m.base)).append("h");
  }
  return text.empty() ? text : text + ")";
}

// The start-up line names the cost of one access on the backend chosen: on a real port it decides
// whether a page of the page-write parts can be loaded within their byte-load window.
void MeasureAccessCost(PortBackend& backend, std::uint16_t base) {
  backend.accessNs = board::MeasureAccessNs(
      *backend.port, *backend.timing, static_cast<std::uint16_t>(base + board::kStatusOffset));
  backend.description += "; " + board::AccessCostText(backend.accessNs);
}

PortBackend Simulated(const BoardRequest& request) {
  PortBackend backend;
  backend.clock = std::make_unique<sim::VirtualClock>();
  auto port = std::make_unique<sim::SimulatedPort>(*backend.clock);
  backend.simulator = port.get();
  backend.description = "simulated board:";
  for (const auto& b : request.simBoards) {
    port->PlaceBoard(b.model, b.base);
    backend.description.append(" model ").append(std::to_string(b.model));
    backend.description.append(" at ").append(common::HexText(b.base)).append("h");
  }
  if (request.simBoards.empty()) backend.description += " none on any port";
  backend.port = std::move(port);
  backend.timing = std::make_unique<sim::VirtualTiming>(*backend.clock);
  MeasureAccessCost(backend,
                    request.simBoards.empty() ? board::kLpt378 : request.simBoards.front().base);
  backend.simulator->ResetCounters();  // the measurement is not the operator's work
  return backend;
}

// A port that fails at its first accesses (the timing reads) is not used: the program stops with
// the reason, as for one that does not open.
template <typename Port>
std::optional<PortBackend> Real(std::unique_ptr<Port> port, std::string description,
                                std::string& error, const std::string& note = {}) {
  PortBackend backend;
  const std::uint16_t first = port->Bases().empty() ? board::kLpt378 : port->Bases().front();
  for (const std::uint16_t base : port->Bases())
    description.append(" ").append(common::HexText(base)).append("h");
  description += note;
  backend.description = std::move(description);
  backend.port = std::move(port);
  backend.timing = std::make_unique<board::RealTiming>();
  try {
    MeasureAccessCost(backend, first);
  } catch (const board::PortFault& fault) {
    error = std::string("The port failed at its first access: ") + fault.what();
    return std::nullopt;
  }
  return backend;
}

}  // namespace

PortBackend::PortBackend() = default;
PortBackend::PortBackend(PortBackend&&) noexcept = default;
PortBackend& PortBackend::operator=(PortBackend&&) noexcept = default;
PortBackend::~PortBackend() = default;

bool AddBoardSpec(const std::string& spec, BoardRequest& request, std::string& error) {
  using Kind = BoardRequest::Kind;
  const bool mapped = spec.starts_with("ppdev:");
  const bool real = spec == "ppdev" || spec == "direct" || mapped;
  const bool sim = spec.starts_with("sim:");
  if (!real && !sim) {
    error =
        "--board " + spec + ": expected sim:M@PORT, sim:none, ppdev, ppdev:DEVICE@PORT or direct";
    return false;
  }
  const Kind kind = spec == "direct" ? Kind::kDirect : sim ? Kind::kSimulated : Kind::kPpdev;
  if (request.kind != Kind::kAuto && request.kind != kind) {
    error = "--board " + spec + ": only one kind of board access can be used at a time";
    return false;
  }
  request.kind = kind;
  if (mapped) return AddPpdevMapping(spec.substr(6), request, error);
  return real || AddSimSpec(spec.substr(4), request, error);
}

std::optional<PortBackend> OpenPortBackend(const BoardRequest& request, std::string& error,
                                           const BackendPaths& paths) {
  using Kind = BoardRequest::Kind;
  const board::PpdevPaths ppdevPaths{paths.procRoot, paths.devRoot, request.ppdevMapped};
  switch (request.kind) {
    case Kind::kSimulated:
      return Simulated(request);
    case Kind::kPpdev:
      if (auto port = board::PpdevPort::Open(error, ppdevPaths))
        return Real(std::move(port), "ppdev:", error, MappingText(request));
      return std::nullopt;
    case Kind::kDirect:
      if (auto port = board::DirectPort::Open(error)) {
        return Real(std::move(port), "direct I/O:", error);
      }
      return std::nullopt;
    case Kind::kAuto:
      break;
  }
  std::string why;
  if (auto port = board::PpdevPort::Open(why, ppdevPaths)) {
    return Real(std::move(port), "ppdev:", error);
  }
  if (BoardBaseListed(paths.procRoot)) {
    error = why +
            "\nThe simulated board is not used instead, since a real port is there; to use it "
            "anyway, ask for it: --board sim:6@378";
    return std::nullopt;
  }
  BoardRequest fallback;
  fallback.simBoards.push_back({6, board::kLpt378});
  PortBackend backend = Simulated(fallback);
  backend.description += " (no parallel port could be opened: " + why + ")";
  return backend;
}

std::string BackendInUse(const BoardRequest& request, const PortBackend& backend) {
  const char* why = request.kind == BoardRequest::Kind::kAuto
                        ? "chosen by itself: ppdev when a port at a board address opens, the "
                          "simulated board when the kernel lists none there"
                        : "asked for with --board";
  return backend.description + " (" + why + ")";
}

}  // namespace sorvell::shell
