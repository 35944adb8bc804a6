#include "console/dry_run.h"

#include <unistd.h>

#include <filesystem>

#include "board/access_cost.h"
#include "catalogue/device_table.h"
#include "console/device_names.h"
#include "console/exit_status.h"
#include "production/job_file.h"
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
int ReadRealPart(const Options& options, const std::string& device, shell::PortBackend& real,
                 const ConsoleIo& io, const std::filesystem::path& file) {
  Options read = options;
  read.command = Command{};
  read.command.name = "read";
  read.command.device = device;
  read.command.output = file.string();
  read.format = buffers::ImageFormat::kBinary;
  return RunSession(read, "", real, io);
}

// A simulated board of the command's model at its port, as --board sim:M@PORT names one.
std::optional<shell::PortBackend> SimulatedCopy(const Options& options, std::uint64_t accessNs,
                                                std::string& error) {
  shell::BoardRequest request;
  const std::string spec = "sim:" + std::to_string(options.model != 0 ? options.model : 6) + "@" +
                           (options.port.empty() ? "378" : options.port);
  if (!shell::AddBoardSpec(spec, request, error)) return std::nullopt;
  auto backend = shell::OpenPortBackend(request, error);
  if (backend) backend->simulator->SetAccessCostNs(accessNs);
  return backend;
}

// The device a burning command or a job names, and how many parts it burns; empty (and said)
// for anything else.
std::string DeviceAndParts(const Command& command, int& parts, std::FILE* err) {
  parts = 1;
  if (command.name == "program" || command.name == "erase") return command.device;
  if (command.name != "job") {
    std::fprintf(err, "sorvell-cli: --dry-run goes with program, erase and job run\n");
    return "";
  }
  const production::JobFile file = production::ReadJobFile(command.input);
  if (!file.job) {
    std::fprintf(err, "sorvell-cli: job not loaded: %s\n", file.error.c_str());
    return "";
  }
  parts = command.count != 0 ? command.count : file.job->count;
  return file.job->device;
}

}  // namespace

int RunDryRun(const Options& options, const std::string& script, shell::PortBackend& real,
              const ConsoleIo& io) {
  int parts = 1;
  const std::string device = DeviceAndParts(options.command, parts, io.err);
  if (device.empty()) return kExitBadInput;
  const std::string part = PartFor(device, io.err);
  if (part.empty()) return kExitBadInput;
  std::string error;
  auto simulated = SimulatedCopy(options, real.accessNs, error);
  if (!simulated) {
    std::fprintf(io.err, "sorvell-cli: %s\n", error.c_str());
    return kExitBadInput;
  }
  // The copy, and the record and backup the burn makes as a real one would (their time counts),
  // live in a scratch folder that goes with the dry run.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("sorvell-dry-run-" + std::to_string(::getpid()));
  std::error_code ignored;
  std::filesystem::create_directories(scratch, ignored);
  const std::filesystem::path copy = scratch / "part.bin";
  const bool fromPart = options.dryRun == "read";
  if (fromPart) {
    if (const int status = ReadRealPart(options, device, real, io, copy); status != kExitOk) {
      std::fprintf(io.err, "sorvell-cli: --dry-run=read: the part could not be read\n");
      std::filesystem::remove_all(scratch, ignored);
      return status;
    }
  }
  Options dry = options;
  dry.datadir = scratch.string();
  dry.yes = true;  // nothing real is burned: no question needs the operator
  // A job's parts are alike: one burned on the copy tells the time of each.
  dry.command.count = 1;
  dry.command.noWait = true;
  dry.sim.push_back("insert " + part + (fromPart ? " " + copy.string() : ""));
  const int status = RunSession(dry, script, *simulated, io);
  std::filesystem::remove_all(scratch, ignored);
  const double seconds = static_cast<double>(simulated->clock->NowNs()) / 1e9;
  char time[96];
  std::snprintf(time, sizeof time, "about %.1f s", seconds);
  std::string taken = time;
  if (options.command.name == "job") {
    std::snprintf(time, sizeof time, " a part, about %.0f s for the job's %d parts",
                  seconds * parts, parts);
    taken += time;
  }
  std::fprintf(io.out, "Dry run on a simulated %s (%s): %s; a real board would take %s at %s\n",
               part.c_str(), fromPart ? "holding what the part holds" : "blank",
               status == kExitOk ? "it would be done" : "it would NOT be done (see above)",
               taken.c_str(), board::AccessCostText(real.accessNs).c_str());
  return status;
}

}  // namespace sorvell::console
