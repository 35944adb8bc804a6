#include "console/options.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "records/part_record.h"
#include "shell/system_edges.h"

namespace sorvell::console {

namespace {

bool Folder(const char* flag, const std::string& value, std::string& error) {
  std::error_code code;
  if (value.empty() || std::filesystem::is_directory(value, code)) return true;
  error = std::string(flag) + " " + value + ": no such folder";
  return false;
}

CLI::App* AddCommand(CLI::App& app, const char* name, const char* what, Command& command) {
  CLI::App* sub = app.add_subcommand(name, what);
  sub->fallthrough();
  sub->callback([&command, name] { command.name = name; });
  return sub;
}

void AddDevice(CLI::App* sub, Command& command) {
  sub->add_option("-d,--device", command.device, "the device, as the device list names it")
      ->required();
}

// The image commands: their files and values as words, -o where the result is one file, -d where
// the part's size counts.
void AddImageCommands(CLI::App& app, Command& c) {
  const struct {
    const char* name;
    const char* what;
    int words;
    bool output;
    bool device;
  } kCommands[] = {
      {"swap", "swap the bytes of each word", 1, true, false},
      {"split", "split into even and odd bytes", 3, false, false},
      {"interleave", "interleave even and odd bytes", 2, true, false},
      {"place", "lay a file over an image at an offset", 3, true, false},
      {"cut", "a range of an image", 2, true, false},
      {"fill", "fill a range with a byte", 3, true, false},
      {"pad", "fill out to the part's size with FFh", 1, true, true},
      {"repeat", "repeat to the part's size", 1, true, true},
      {"compare", "compare two images", 2, false, false},
  };
  for (const auto& command : kCommands) {
    CLI::App* sub = AddCommand(app, command.name, command.what, c);
    sub->add_option("words", c.words)->expected(command.words)->required();
    if (command.output) sub->add_option("-o,--output", c.output)->required();
    if (command.device) AddDevice(sub, c);
  }
}

void AddHistory(CLI::App& app, Command& c) {
  CLI::App* history = AddCommand(app, "history", "the record of every part", c);
  history->add_option("--device", c.device);
  history->add_option("--job", c.job);
  history->add_option("--serial", c.serial);
  history->add_option("--outcome", c.outcome)
      ->check(CLI::IsMember({"done", "failed", "not-done", "stopped"}));
  history->add_option("--since", c.since);
  history->add_option("--until", c.until);
  history->add_option("--limit", c.limit)->check(CLI::PositiveNumber);
  history->add_flag("--json", c.json);
  history->add_flag("--csv", c.csv)->excludes("--json");
}

// A time as records keep it, or why the flag's value is none.
bool HistoryTime(const char* flag, std::string& value, std::string& error) {
  if (value.empty()) return true;
  const std::string time = records::RecordTime(value);
  if (time.empty()) {
    error = std::string(flag) + " " + value + ": not a time (YYYY-MM-DD, YYYY-MM-DD hh:mm or " +
            "YYYY-MM-DD hh:mm:ss)";
    return false;
  }
  value = time;
  return true;
}

// The commands and their own options; the options of the program may stand anywhere.
void AddCommands(CLI::App& app, Command& c) {
  AddCommand(app, "checksum", "the checksums of a file", c)
      ->add_option("file", c.input, "the file")
      ->required();
  CLI::App* list = AddCommand(app, "list", "the device list", c);
  list->add_option("text", c.filter);
  list->add_flag("--json", c.json);
  AddCommand(app, "detect", "search the ports for a board", c)->add_flag("--json", c.json);
  CLI::App* read = AddCommand(app, "read", "read the part into a file", c);
  AddDevice(read, c);
  read->add_option("-o,--output", c.output)->required();
  const auto passes = [&c](CLI::App* command) {
    command->add_option("--passes", c.passes, "read the part N times and report bits that change")
        ->check(CLI::Range(1, 16));
  };
  passes(read);
  CLI::App* blank = AddCommand(app, "blank", "blank check", c);
  AddDevice(blank, c);
  blank->add_option("--report", c.report, "every difference and the diagnosis, as JSON");
  CLI::App* program = AddCommand(app, "program", "program a file into the part", c);
  AddDevice(program, c);
  program->add_option("-i,--input", c.input)->required();
  program->add_flag("--no-blank-check", c.noBlankCheck);
  program->add_flag("--no-verify", c.noVerify);
  program->add_flag("--no-pad", c.noPad, "program a shorter image's rest from the buffer, not FFh");
  program->add_flag("--no-backup", c.noBackup, "do not keep the part's contents first");
  program->add_option("--half", c.half)->check(CLI::IsMember({"hi", "lo"}));
  program->add_option("--vpp", c.vpp)->check(CLI::IsMember({"5", "12.5", "21", "25"}));
  program->add_option("--speed", c.speed)->check(CLI::Range(1, 20));
  passes(program);
  CLI::App* verify = AddCommand(app, "verify", "compare the part with a file", c);
  AddDevice(verify, c);
  verify->add_option("-i,--input", c.input)->required();
  verify->add_option("--report", c.report, "every difference and the diagnosis, as JSON");
  passes(verify);
  CLI::App* erase = AddCommand(app, "erase", "erase the part", c);
  AddDevice(erase, c);
  erase->add_flag("--no-backup", c.noBackup, "do not keep the part's contents first");
  AddImageCommands(app, c);
  AddDevice(AddCommand(app, "id", "the Flash identification", c), c);
  CLI::App* job = AddCommand(app, "job", "production runs", c);
  job->require_subcommand(1, 1);
  CLI::App* run = job->add_subcommand("run", "burn the job's parts one after another");
  run->fallthrough();
  run->add_option("job", c.input, "the job file")->required();
  run->add_option("--count", c.count, "parts to burn")->check(CLI::Range(1, 1'000'000));
  run->add_flag("--no-wait", c.noWait, "burn the next part without asking");
  AddHistory(app, c);
  CLI::App* restore = AddCommand(app, "restore", "burn a record's backup back", c);
  restore->add_option("record", c.record, "the record's number, as history lists it")
      ->required()
      ->check(CLI::PositiveNumber);
  restore->add_option("-d,--device", c.device, "the device, if not the record's");
}

bool Check(Options& options, const std::string& formatWord, std::string& error) {
  if (!Folder("--workdir", options.workdir, error) ||
      !Folder("--progdir", options.progdir, error)) {
    return false;
  }
  if (!formatWord.empty()) {
    options.format = buffers::FormatFromWord(formatWord);
    if (!options.format) {
      error = "--format " + formatWord + ": not a format (bin, hex or srec)";
      return false;
    }
  }
  if (!HistoryTime("--since", options.command.since, error) ||
      !HistoryTime("--until", options.command.until, error)) {
    return false;
  }
  if (!options.command.name.empty() && !options.script.empty()) {
    error = "a command and a script (" + options.script + ") together: give one";
    return false;
  }
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  CLI::App app("sorvell-cli");
  app.set_help_flag();  // the usage text is the program's own
  app.add_flag("-h,--help", options.help);
  app.add_flag("--version", options.version);
  app.add_flag("--system-info", options.systemInfo);
  app.add_flag("-y,--yes", options.yes);
  app.add_flag("-k,--keep-going", options.keepGoing);
  std::vector<std::string> boards;
  app.add_option("--board", boards)->allow_extra_args(false);
  app.add_option("--workdir", options.workdir);
  app.add_option("--progdir", options.progdir);
  app.add_option("--datadir", options.datadir);
  app.add_flag("--dry-run{blank}", options.dryRun)->check(CLI::IsMember({"blank", "read"}));
  app.add_option("--port", options.port)
      ->check(CLI::IsMember({"378", "278", "3BC"}, CLI::ignore_case));
  app.add_option("--model", options.model)->check(CLI::Range(4, 6));
  std::string formatWord;
  app.add_option("--format", formatWord);
  app.add_option("--log", options.log);
  app.add_option("--sim", options.sim)->allow_extra_args(false);
  app.add_option("script", options.script);
  AddCommands(app, options.command);
  app.require_subcommand(0, 1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& failure) {
    error = failure.what();
    return false;
  }
  for (const std::string& spec : boards) {
    if (!shell::AddBoardSpec(spec, options.board, error)) return false;
  }
  return Check(options, formatWord, error);
}

panel::Folders ResolveFolders(const Options& options, const char* executable) {
  panel::Folders folders = shell::DefaultFolders(executable);
  if (!options.progdir.empty()) folders.programFolder = folders.configFolder = options.progdir;
  if (!options.workdir.empty()) folders.workingFolder = options.workdir;
  if (!options.datadir.empty()) folders.dataFolder = options.datadir;
  return folders;
}

}  // namespace sorvell::console
