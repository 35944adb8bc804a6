#include "board/backends/system_report.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>

#include "board/backends/direct_refusals.h"
#include "board/backends/parport_proc.h"
#include "board/backends/port_slots.h"
#include "common/read_file.h"

namespace sorvell::board {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLargestFile = 1 << 20;
constexpr const char* kModules[] = {"parport_pc", "ppdev", "lp"};

// Without the blanks and line ends around it.
std::string Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

std::optional<std::string> ReadText(const fs::path& file) {
  std::string text, error;
  if (!common::ReadRegularFile(file, kLargestFile, text, error, common::EmptyFile::kAccepted)) {
    return std::nullopt;
  }
  return text;
}

// The machine as the report reads it, gathered once.
struct Machine {
  std::optional<std::string> kernel;   // "Linux 6.1.0-18-amd64"
  std::optional<std::string> modules;  // /proc/modules
  bool sysModuleReadable = false;
  bool devReadable = false;
  std::vector<ParportEntry> ports;
  std::vector<std::string> ppdevClass;         // /sys/class/ppdev entries
  std::map<unsigned, std::string> groupNames;  // from etc/group
  std::optional<unsigned> lpGid;
  std::vector<std::string> lpMembers;

  bool NothingReadable() const { return !kernel && !modules && !sysModuleReadable && !devReadable; }
};

std::optional<std::string> KernelText(const fs::path& root) {
  const auto release = ReadText(root / "proc/sys/kernel/osrelease");
  if (!release) return std::nullopt;
  const std::string type = Trim(ReadText(root / "proc/sys/kernel/ostype").value_or(""));
  return (type.empty() ? std::string("Linux") : type) + " " + Trim(*release);
}

std::vector<std::string> FolderNames(const fs::path& folder, bool& readable) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  readable = !ec;
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::ranges::sort(names);
  return names;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

std::optional<unsigned> Number(const std::string& text) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The group names by number, and the lp group's number and listed members, from etc/group
// ("lp:x:7:alice,bob").
void ReadGroups(const fs::path& root, Machine& machine) {
  const auto groups = ReadText(root / "etc/group");
  if (!groups) return;
  for (const std::string& line : Split(*groups, '\n')) {
    const std::vector<std::string> fields = Split(line, ':');
    const std::optional<unsigned> gid = fields.size() >= 3 ? Number(fields[2]) : std::nullopt;
    if (!gid) continue;
    machine.groupNames.emplace(*gid, fields[0]);
    if (fields[0] != "lp" || machine.lpGid) continue;
    machine.lpGid = gid;
    if (fields.size() > 3) machine.lpMembers = Split(Trim(fields[3]), ',');
  }
}

Machine ReadMachine(const fs::path& root) {
  Machine machine;
  machine.kernel = KernelText(root);
  machine.modules = ReadText(root / "proc/modules");
  FolderNames(root / "sys/module", machine.sysModuleReadable);
  FolderNames(root / "dev", machine.devReadable);
  machine.ports = ListParports((root / "proc/sys/dev/parport").string());
  bool ignored = false;
  machine.ppdevClass = FolderNames(root / "sys/class/ppdev", ignored);
  ReadGroups(root, machine);
  return machine;
}

bool ModuleLoaded(const fs::path& root, const Machine& machine, const std::string& name) {
  std::error_code ec;
  if (fs::is_directory(root / "sys/module" / name, ec)) return true;
  if (!machine.modules) return false;
  return std::ranges::any_of(Split(*machine.modules, '\n'),
                             [&](const std::string& line) { return line.starts_with(name + " "); });
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", value);
  return text;
}

bool InGroup(const UserIdentity& user, unsigned gid) {
  return std::ranges::find(user.groups, gid) != user.groups.end();
}

// Read and write access as the kernel grants it from the node's owner, group and mode.
bool MayOpen(const struct stat& node, const UserIdentity& user) {
  if (user.uid == 0) return true;
  const mode_t mode = node.st_mode;
  if (node.st_uid == user.uid) return (mode & S_IRUSR) && (mode & S_IWUSR);
  if (InGroup(user, node.st_gid)) return (mode & S_IRGRP) && (mode & S_IWGRP);
  return (mode & S_IROTH) && (mode & S_IWOTH);
}

std::string ModeText(const struct stat& node) {
  char text[8];
  std::snprintf(text, sizeof text, "%03o", static_cast<unsigned>(node.st_mode & 0777));
  return text;
}

class ReportWriter {
 public:
  ReportWriter(const fs::path& root, const Machine& machine, const UserIdentity& user)
      : root_(root), machine_(machine), user_(user) {}

  std::string Write(const SystemFacts& facts);

 private:
  void Line(const std::string& text) { text_ += text + "\n"; }
  void Problem(const std::string& fix) { fixes_.push_back(fix); }
  void Versions(const SystemFacts& facts);
  void Lockdown();
  void User();
  void Modules();
  void Ports();
  void Port(const ParportEntry& entry);
  void Node(const std::string& name, bool usable);
  void NodeRefused(const std::string& path, const struct stat& node);
  void Fixes();

  const fs::path& root_;
  const Machine& machine_;
  const UserIdentity& user_;
  std::string text_;
  std::vector<std::string> fixes_;
};

void ReportWriter::Versions(const SystemFacts& facts) {
  Line("Program: sorvell " + facts.programVersion);
  Line("Qt: " + facts.toolkitVersion);
  if (!facts.programFiles.empty()) Line("Program files: " + facts.programFiles);
  Line("Kernel: " +
       machine_.kernel.value_or("unknown (" + (root_ / "proc/sys/kernel/osrelease").string() +
                                " cannot be read)"));
  Line("Port backend in use: " + facts.backend);
}

// Lockdown (as under Secure Boot) blocks direct port access even to root; ppdev still works.
void ReportWriter::Lockdown() {
  const std::string mode = SelectedLockdown(root_);
  if (mode.empty()) {
    Line("Kernel lockdown: not reported");
  } else if (mode == "none") {
    Line("Kernel lockdown: none");
  } else {
    Line("Kernel lockdown: " + mode +
         " (direct port access is blocked for every process, root included; ppdev is not)");
  }
}

void ReportWriter::User() {
  const bool member = machine_.lpGid && InGroup(user_, *machine_.lpGid);
  std::string line = "User: " + user_.name + " (uid " + std::to_string(user_.uid) + "), ";
  if (!machine_.lpGid) {
    Line(line + "no group lp on this machine");
    return;
  }
  Line(line + (member ? "in group lp" : "not in group lp"));
  if (member || user_.uid == 0) return;
  const bool listed = std::ranges::find(machine_.lpMembers, user_.name) != machine_.lpMembers.end();
  Problem(listed ? "You were added to group lp after you logged in: log out and in again."
                 : "Add yourself to group lp, then log out and in again: sudo usermod -aG lp " +
                       user_.name);
}

void ReportWriter::Modules() {
  Line("");
  Line("Kernel modules:");
  for (const std::string name : kModules) {
    const bool loaded = ModuleLoaded(root_, machine_, name);
    Line("  " + name + ": " + (loaded ? "loaded" : "not loaded"));
    if (name == "lp" && loaded) {
      Problem(
          "The printer driver lp is loaded and may hold the port: sudo modprobe -r lp (to "
          "keep it out, add \"blacklist lp\" to /etc/modprobe.d/sorvell.conf).");
    } else if (name != "lp" && !loaded) {
      Problem("Load " + name + ": sudo modprobe " + name + " (to load it at every start, add " +
              name + " to /etc/modules-load.d/sorvell.conf).");
    }
  }
}

void ReportWriter::Ports() {
  Line("");
  Line("Parallel ports the kernel lists (/proc/sys/dev/parport):");
  if (machine_.ports.empty()) {
    Line("  none");
    Problem(
        "The kernel lists no parallel port. With parport_pc loaded this means it finds none: "
        "enable the port in the BIOS setup, or fit a parallel port card.");
  }
  for (const ParportEntry& entry : machine_.ports) Port(entry);
  std::string registered;
  for (const std::string& name : machine_.ppdevClass) registered += " " + name;
  Line("ppdev devices (/sys/class/ppdev):" +
       (registered.empty() ? std::string(" none") : registered));
}

void ReportWriter::Port(const ParportEntry& entry) {
  const std::string name = "parport" + std::to_string(entry.number);
  const bool boardBase = entry.base && BaseSlot(*entry.base) != kNoSlot;
  std::string line =
      "  " + name + " at " + (entry.base ? Hex(*entry.base) : "an unreadable address");
  Line(line + (boardBase ? " (a board address)" : " (not a board address)"));
  if (!boardBase) {
    // ppdev reaches a port by its node, so a card elsewhere (PCIe, D010h) serves as well.
    Problem(name + " is not at a board address: map it to one, e.g. --board ppdev:/dev/" + name +
            "@378 (the board is then addressed at 378h), or set it to 378h, 278h or 3BCh in the "
            "BIOS setup.");
  }
  Node(name, entry.base.has_value());
}

void ReportWriter::Node(const std::string& name, bool usable) {
  const fs::path path = root_ / "dev" / name;
  const std::string shown = "/dev/" + name;
  struct stat node {};
  if (::stat(path.c_str(), &node) != 0) {
    Line("    " + shown + ": missing");
    if (usable) {
      Problem(shown + " is missing: load ppdev (sudo modprobe ppdev); udev then creates it.");
    }
    return;
  }
  const bool may = MayOpen(node, user_);
  const auto owner = machine_.groupNames.find(node.st_gid);
  const std::string group =
      owner != machine_.groupNames.end() ? owner->second : std::to_string(node.st_gid);
  Line("    " + shown + ": mode " + ModeText(node) + ", group " + group + ", " +
       (may ? "this user may open it" : "this user may not open it"));
  if (!may && usable) NodeRefused(shown, node);
}

void ReportWriter::NodeRefused(const std::string& path, const struct stat& node) {
  const bool lpOwns = machine_.lpGid && node.st_gid == *machine_.lpGid;
  if (lpOwns && !(node.st_mode & S_IRGRP && node.st_mode & S_IWGRP)) {
    Problem(path + " does not let group lp read and write: sudo chmod 660 " + path);
  } else if (!lpOwns) {
    Problem(path + " does not belong to group lp: sudo chgrp lp " + path + " && sudo chmod 660 " +
            path);
  }
  // Otherwise the group lp fix above applies.
}

void ReportWriter::Fixes() {
  Line("");
  if (fixes_.empty()) {
    Line("No problem found.");
    return;
  }
  Line("Problems found, and their fixes:");
  for (const std::string& fix : fixes_) Line("  - " + fix);
}

std::string ReportWriter::Write(const SystemFacts& facts) {
  Versions(facts);
  Lockdown();
  User();
  Modules();
  Ports();
  Fixes();
  return text_;
}

}  // namespace

UserIdentity CurrentUser() {
  UserIdentity user;
  user.uid = ::getuid();
  const int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(count > 0 ? count : 0);
  if (count > 0 && ::getgroups(count, groups.data()) == count) {
    user.groups.assign(groups.begin(), groups.end());
  }
  user.groups.push_back(::getgid());
  const passwd* entry = ::getpwuid(user.uid);
  user.name = entry != nullptr ? entry->pw_name : std::to_string(user.uid);
  return user;
}

std::optional<std::string> SystemReport(const SystemFacts& facts, const fs::path& root,
                                        const UserIdentity& user) {
  const Machine machine = ReadMachine(root);
  if (machine.NothingReadable()) return std::nullopt;
  return ReportWriter(root, machine, user).Write(facts);
}

}  // namespace sorvell::board
