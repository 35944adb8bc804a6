// Reads and verifies in several passes: a part that does not read the same twice cannot be
// trusted, whatever one pass says.
#include <algorithm>
#include <array>

#include "common/hex_text.h"
#include "dispatch/dispatcher.h"

namespace sorvell::dispatch {

namespace {

constexpr std::size_t kAddressesNamed = 8;

std::string LinesOf(std::uint8_t bits) {
  std::string lines;
  for (int line = 7; line >= 0; --line) {
    if ((bits >> line & 1) != 0) lines += (lines.empty() ? "D" : " D") + std::to_string(line);
  }
  return lines;
}

}  // namespace

int Dispatcher::Passes() const {
  return std::max(run_.ReadPasses, panel_.frmMain["ReadTwice"].Value() == 1 ? 2 : 1);
}

// The buffer keeps the first pass; every later pass is compared with it, bit by bit.
void Dispatcher::READCODE() {
  const int passes = Passes();
  ReadCodeOnce();
  if (passes == 1 || !panel_.EventOutcome().IsDone()) return;
  const auto size = static_cast<std::size_t>(op_.PartBytes());
  std::vector<std::uint8_t>& buffer = op_.buffers.CodeBuffer;
  const std::vector<std::uint8_t> first(buffer.begin(), buffer.begin() + size);
  std::vector<std::uint8_t> changed(size, 0);
  for (int pass = 2; pass <= passes; ++pass) {
    panel_.AddLog("Read pass " + std::to_string(pass) + " of " + std::to_string(passes));
    ReadCodeOnce();
    if (!panel_.EventOutcome().IsDone()) break;
    for (std::size_t a = 0; a < size; ++a) changed[a] |= first[a] ^ buffer[a];
  }
  std::copy(first.begin(), first.end(), buffer.begin());
  if (panel_.EventOutcome().IsDone()) ReportChangedBits(changed, passes);
}

void Dispatcher::VerifyCode() {
  const int passes = Passes();
  for (int pass = 1; pass <= passes; ++pass) {
    if (pass > 1) {
      panel_.AddLog("Verify pass " + std::to_string(pass) + " of " + std::to_string(passes));
    }
    VerifyCodeOnce();
    if (run_.VerifyFailed != 0 || !panel_.EventOutcome().IsDone()) return;
  }
}

void Dispatcher::ReportChangedBits(const std::vector<std::uint8_t>& changed, int passes) {
  std::size_t bytes = 0;
  std::array<std::size_t, 8> perLine{};
  std::string named;
  for (std::size_t a = 0; a < changed.size(); ++a) {
    if (changed[a] == 0) continue;
    if (++bytes <= kAddressesNamed) {
      named += (bytes == 1 ? "" : ", ") + common::HexText(static_cast<std::uint32_t>(a)) + "h (" +
               LinesOf(changed[a]) + ")";
    }
    for (int line = 0; line < 8; ++line) perLine[line] += changed[a] >> line & 1;
  }
  if (bytes == 0) {
    panel_.AddLog("The part read the same in all " + std::to_string(passes) + " passes");
    return;
  }
  std::string lines;
  for (int line = 7; line >= 0; --line) {
    if (perLine[line] == 0) continue;
    lines += (lines.empty() ? "D" : ", D") + std::to_string(line) + " at " +
             std::to_string(perLine[line]);
  }
  if (bytes > kAddressesNamed) named += " and " + std::to_string(bytes - kAddressesNamed) + " more";
  const std::string summary = "The part did not read the same in " + std::to_string(passes) +
                              " passes: " + std::to_string(bytes) + " bytes changed";
  panel_.AddLog(summary + ", at " + named);
  panel_.AddLog("Lines that changed: " + lines +
                " bytes: a bad contact, a marginal part or a cable too long");
  panel_.ReportDeviceError(summary);
}

}  // namespace sorvell::dispatch
