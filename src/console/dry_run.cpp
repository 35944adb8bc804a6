#include "console/dry_run.h"

#include <unistd.h>

#include <filesystem>

#include "board/access_cost.h"
#include "catalogue/device_table.h"
#include "console/device_names.h"
#include "console/exit_status.h"
#include "shell/simulator_commands.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"

namespace sorvell::console {

namespace {

// The simulator's part for the device the command names; empty (and said) when there is none.
std::string PartFor(const std::string& device, std::FILE* err) {
  const auto& devices = catalogue::KnownDevices();
  const auto entries = catalogue::DeviceListEntries(catalogue::DeviceTableOf(devices), devices);
  const DeviceChoice choice = ChooseDevice(entries, device);
  if (!choice.index) {
    std::fprintf(err, "sorvell-cli: %s\n", choice.error.c_str());
    return "";
  }
  const std::string& row = devices[static_cast<std::size_t>(*choice.index - 1)].name;
  const std::string part = shell::SimulatedPartFor(row);
  if (part.empty()) {
    std::fprintf(err, "sorvell-cli: --dry-run: the simulator has no %s\n", row.c_str());
  }
  return part;
}

// Reads the real part into `file` with the read command, as the operator would.
int ReadRealPart(const Options& options, shell::PortBackend& real, const ConsoleIo& io,
                 const std::filesystem::path& file) {
  Options read = options;
  read.command = Command{};
  read.command.name = "read";
  read.command.device = options.command.device;
  read.command.output = file.string();
  read.format = buffers::ImageFormat::kBinary;
  return RunSession(read, "", real, io);
}

std::optional<shell::PortBackend> SimulatedCopy(const Options& options, std::uint64_t accessNs,
                                                std::string& error) {
  shell::BoardRequest request;
  request.kind = shell::BoardRequest::Kind::kSimulated;
  const std::uint16_t base = options.port == "278"   ? board::kLpt278
                             : options.port == "3BC" ? board::kLpt3BC
                                                     : board::kLpt378;
  request.simBoards.push_back({options.model != 0 ? options.model : 6, base});
  auto backend = shell::OpenPortBackend(request, error);
  if (backend) backend->simulator->SetAccessCostNs(accessNs);
  return backend;
}

}  // namespace

int RunDryRun(const Options& options, const std::string& script, shell::PortBackend& real,
              const ConsoleIo& io) {
  if (options.command.name != "program" && options.command.name != "erase") {
    std::fprintf(io.err, "sorvell-cli: --dry-run goes with program and erase\n");
    return kExitBadInput;
  }
  const std::string part = PartFor(options.command.device, io.err);
  if (part.empty()) return kExitBadInput;
  // The copy, and the record and backup the burn makes as a real one would (their time counts),
  // live in a scratch folder that goes with the dry run.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("sorvell-dry-run-" + std::to_string(::getpid()));
  std::error_code ignored;
  std::filesystem::create_directories(scratch, ignored);
  const std::filesystem::path copy = scratch / "part.bin";
  const bool fromPart = options.dryRun == "read";
  if (fromPart) {
    if (const int status = ReadRealPart(options, real, io, copy); status != kExitOk) {
      std::fprintf(io.err, "sorvell-cli: --dry-run=read: the part could not be read\n");
      std::filesystem::remove_all(scratch, ignored);
      return status;
    }
  }
  std::string error;
  auto simulated = SimulatedCopy(options, real.accessNs, error);
  if (!simulated) {
    std::fprintf(io.err, "sorvell-cli: %s\n", error.c_str());
    return kExitBadInput;
  }
  Options dry = options;
  dry.datadir = scratch.string();
  dry.yes = true;  // nothing real is burned: no question needs the operator
  dry.sim.push_back("insert " + part + (fromPart ? " " + copy.string() : ""));
  const int status = RunSession(dry, script, *simulated, io);
  std::filesystem::remove_all(scratch, ignored);
  std::fprintf(io.out,
               "Dry run on a simulated %s (%s): %s; a real board would take about %.1f s at %s\n",
               part.c_str(), fromPart ? "holding what the part holds" : "blank",
               status == kExitOk ? "it would be done" : "it would NOT be done (see above)",
               static_cast<double>(simulated->clock->NowNs()) / 1e9,
               board::AccessCostText(real.accessNs).c_str());
  return status;
}

}  // namespace sorvell::console
