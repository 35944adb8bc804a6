#include <algorithm>

#include "common/hex_text.h"
#include "operation/operation.h"

namespace sorvell::operation {

namespace {

std::string Hex(std::uint32_t value) {
  return common::HexText(value) + "h";
}

std::string AlertDetails(const diagnosis::ByteDifference& first, diagnosis::Check check,
                         const std::vector<diagnosis::Finding>& findings) {
  std::string details =
      "Address " + Hex(static_cast<std::uint32_t>(first.address)) + ": " +
      (check == diagnosis::Check::kBlank ? "erased (FFh)" : "wanted " + Hex(first.wanted)) +
      ", read " + Hex(first.read);
  for (const std::string& line : diagnosis::FindingLines(findings)) details += "\n" + line;
  return details;
}

}  // namespace

bool Operation::JudgeWholeCompare(std::span<const std::uint8_t> wanted,
                                  std::span<const std::uint8_t> read, diagnosis::Check check,
                                  bool stopped, const std::function<void()>& reportFirst) {
  diagnosis::Difference difference = diagnosis::Compare(wanted, read);
  // Nothing found before a stop: the stop is the outcome, and it goes on.
  if (stopped && !difference.Any()) throw;
  run.LastCompare = check == diagnosis::Check::kBlank ? "blank" : "verify";
  buffers.DifferingAddresses.clear();
  for (const diagnosis::ByteDifference& byte : difference.bytes) {
    buffers.DifferingAddresses.push_back(byte.address);
  }
  if (!difference.Any()) {
    run.LastDifference = std::move(difference);
    run.LastFindings.clear();
    return true;
  }
  // A part read only up to a stop shows no pattern to diagnose beyond its figures.
  std::vector<diagnosis::Finding> findings =
      stopped ? std::vector<diagnosis::Finding>{}
              : diagnosis::Diagnose(difference, wanted, read, check);
  const diagnosis::ByteDifference first = difference.bytes.front();
  run.ErrorAddress = first.address;
  board.ReadByte = first.read;
  panel.SetAlertDetails(AlertDetails(first, check, findings));
  reportFirst();
  for (const std::string& line : diagnosis::SummaryLines(difference)) panel.AddLog(line);
  if (stopped) {
    panel.AddLog("Stopped at " + Hex(static_cast<std::uint32_t>(difference.compared)) +
                 ": the rest of the part was not compared");
  }
  for (const std::string& line : diagnosis::FindingLines(findings)) panel.AddLog(line);
  run.LastDifference = std::move(difference);
  run.LastFindings = std::move(findings);
  return false;
}

void Operation::NoteAllErased(std::span<const std::uint8_t> read) {
  if (read.empty() || std::ranges::any_of(read, [](std::uint8_t b) { return b != 0xFF; })) return;
  panel.AddLog(
      "Every byte read FFh: the part may be blank, or the socket empty or the part not "
      "seated");
}

}  // namespace sorvell::operation
