// Every selectable UV-EPROM on every board model: blank check, program, verify and read back,
// through the simulated part's own pinout. A wrong fixed bit, address map, VPP switch or pulse
// line leaves the simulated part unpowered, misaddressed or unprogrammed, and these fail.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/eprom_chip.h"

namespace sorvell::shell::testing {
namespace {

struct EpromCase {
  int row;           // device list entry
  const char* part;  // the simulated part
  int voltOption;    // Voltage_button index the part needs (1 12.5 V, 2 21 V, 3 25 V)
  int model;
};

void PrintTo(const EpromCase& c, std::ostream* os) {
  *os << c.part << " on model " << c.model;
}

std::uint16_t Millivolts(int voltOption) {
  return voltOption == 3 ? 25000 : voltOption == 2 ? 21000 : 12500;
}

// Random bytes at the start, the end and spread through the part; FFh elsewhere, so that the
// 1 MB parts stay quick to program.
std::vector<std::uint8_t> SparseImage(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> image(size, 0xFF);
  auto next = [&seed] {
    return static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  };
  for (std::size_t i = 0; i < size; ++i) {
    if (i < 2048 || i >= size - 2048 || i % 4099 == 0) image[i] = next();
  }
  return image;
}

struct EpromRig : SimRig {
  explicit EpromRig(const EpromCase& c) {
    simBoard = &boards.PlaceBoard(c.model, board::kLpt378);
    simBoard->SetModel4VppMillivolts(Millivolts(c.voltOption));
    form.Form_Load();
    auto part = sim::MakeEprom(c.part);
    chip = part.get();
    simBoard->Insert(std::move(part));
    form.SetValue("Device", c.row);
    form.SetValue("Voltage_button(" + std::to_string(c.voltOption) + ")", 1);
  }
  void Load(const std::vector<std::uint8_t>& image) {
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    form.buffers.CodeBufferLoaded = 1;
    form.device.DeviceSize = static_cast<std::int32_t>(image.size());
  }
  std::string Log() { return form.frmMain["SystemLog"].Caption(); }
  sim::SimBoard* simBoard = nullptr;
  sim::EpromChip* chip = nullptr;
};

// The 2732 family gets a fixed 5 ms pulse where its datasheets give 50 ms; the NMOS 27128 and
// 27256 share the CMOS 100 us pulse of their families where the datasheets give 1 ms; the 27C64
// shares the NMOS 2764's 20 ms pulse. Each still programs by repeated pulses and verify.
bool PulseOutsideDatasheet(const std::string& part) {
  return part == "2732" || part == "2732A" || part == "27128" || part == "27256" || part == "27C64";
}

class EpromEndToEndTest : public ::testing::TestWithParam<EpromCase> {};

TEST_P(EpromEndToEndTest, BlankProgramVerifyRead) {
  const EpromCase& c = GetParam();
  EpromRig rig(c);
  ASSERT_NE(rig.chip, nullptr);
  const auto image = SparseImage(rig.chip->Part().SizeBytes(), 7u * c.row + c.model);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher
      .Program_button_Click();  // blank check before, verify after: both ticked at start
  const std::string log = rig.Log();
  EXPECT_NE(log.find("Device IS BLANK (ERASED)"), std::string::npos) << log;
  EXPECT_NE(log.find("Programming Device Successfull"), std::string::npos) << log;
  EXPECT_NE(log.find("Device Contents MATCHES with Buffer Contents"), std::string::npos) << log;
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  EXPECT_FALSE(rig.chip->Damaged()) << rig.chip->DamageReport();
  EXPECT_TRUE(rig.chip->StrayVoltagePins().empty());
  EXPECT_TRUE(rig.chip->Contents() == image);
  // The data latch never drove the bus while the part did (blank check, every pulse's read-back,
  // verify).
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u);
  // No read ever saw VPP on the part; and the pulses keep to the datasheet, except where the
  // program's own pulse for the family is known to be shorter or longer (below).
  const sim::ViolationLog& violations = rig.chip->Violations();
  EXPECT_EQ(violations.Count(sim::ViolationLog::Kind::kReadWithVpp), 0u) << violations.Last();
  if (!PulseOutsideDatasheet(c.part)) {
    EXPECT_EQ(violations.Count(sim::ViolationLog::Kind::kPulseWidth), 0u) << violations.Last();
  }

  std::fill_n(rig.form.buffers.CodeBuffer.begin(), image.size(), 0x00);
  rig.form.dispatcher.Read_button_Click();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()));
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u);
  const std::string line = ChecksumLine(image);
  EXPECT_TRUE(rig.Log().ends_with(std::string(line) +
                                  "\r\n10:58:39>  Data is available at above Window, use Scroll "
                                  "Bar\r\n10:58:39>  You can Save the file using [FILE - Save As] "
                                  "menu"));
}

std::vector<EpromCase> AllCases() {
  const EpromCase parts[] = {
      {2, "2732A", 2, 0},    {3, "2732B", 1, 0},   {4, "2732", 3, 0},     {5, "27C32", 1, 0},
      {6, "2764", 2, 0},     {7, "27C64", 1, 0},   {8, "27128", 2, 0},    {9, "27C128", 1, 0},
      {10, "27256", 1, 0},   {11, "27C256", 1, 0}, {12, "27C259", 1, 0},  {13, "27C512", 1, 0},
      {14, "27C1001", 1, 0}, {15, "27C010", 1, 0}, {16, "27C2001", 1, 0}, {17, "27C020", 1, 0},
      {18, "27C4001", 1, 0}, {19, "27C040", 1, 0}, {20, "27C801", 1, 0},  {21, "27C080", 1, 0},
  };
  std::vector<EpromCase> cases;
  for (const EpromCase& part : parts) {
    for (int model : {4, 5, 6}) cases.push_back({part.row, part.part, part.voltOption, model});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Parts, EpromEndToEndTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<EpromCase>& param) {
                           return std::string("E") + param.param.part + "OnModel" +
                                  std::to_string(param.param.model);
                         });

}  // namespace
}  // namespace sorvell::shell::testing
