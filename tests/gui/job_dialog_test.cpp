// Tools > Job... as the operator uses it: a job file that is refused, a job loaded, a part burned
// with its serial, and a Stop in the middle of the next part that ends the job with the board idle.
#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "buffers/checksums.h"
#include "gui/run_control.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

class JobDialogTest : public GuiTest {
 protected:
  JobDialogTest() {
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    std::ofstream(workDir / "fw.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    std::ofstream(workDir / "job.toml")
        << "name = \"Lot 9\"\ndevice = \"27C256\"\nimage = \"fw.bin\"\nsha256 = \""
        << buffers::ChecksumsOf(image).sha256
        << "\"\ncount = 3\nbackup = \"off\"\n[serial]\naddress = 0x10\nlength = 2\n"
           "encoding = \"binary-le\"\nstart = 500\n";
    std::ofstream(workDir / "broken.toml") << "name = \"Lot 9\"\ncount = three\n";
  }

  // A fresh 27C256 in the socket; the returned chip stays owned by the board.
  const sim::EpromChip& InsertBlankPart() {
    auto made = sim::MakeEprom("27C256");
    const sim::EpromChip& chip = *made;
    backend.simulator->BoardAt(board::kLpt378)->Insert(std::move(made));
    return chip;
  }

  void OpenJobDialog() {
    model->showJobDialog = [this] {
      window->ShowJobDialog(dialogs, [this](bool consent) { consented = consent; });
    };
    Widget<QAction>("mnuToolsJob").trigger();
    window->RunControl().SetInterval(std::chrono::milliseconds(0));
  }

  void LoadJob(const char* file) {
    dialogs.files = {workDir / file};
    Widget<QPushButton>("cmdJobLoad").click();
  }

  std::string Label(const char* name) { return Widget<QLabel>(name).text().toStdString(); }

  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(0x8000);
  bool consented = false;
};

TEST_F(JobDialogTest, AJobLoadsBurnsAPartWithItsSerialAndAStopMidPartEndsIt) {
  Start();
  OpenJobDialog();
  QPushButton& next = Widget<QPushButton>("cmdJobNext");
  QPushButton& stop = Widget<QPushButton>("cmdJobStop");

  LoadJob("broken.toml");
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.messages.back().title, "Job Not Loaded");
  EXPECT_TRUE(dialogs.messages.back().text.find("broken.toml line 2") != std::string::npos)
      << dialogs.messages.back().text;
  EXPECT_EQ(Label("lblJob"), "No job loaded");
  EXPECT_FALSE(next.isEnabled());

  const sim::EpromChip& first = InsertBlankPart();
  LoadJob("job.toml");
  EXPECT_EQ(Label("lblJob"), "Job Lot 9");
  EXPECT_EQ(Label("lblJobCounts"), "Done 0, failed 0, left 3");
  EXPECT_EQ(next.text().toStdString(), "&Start");
  EXPECT_TRUE(next.isEnabled());
  EXPECT_TRUE(model->frmMain["Device"].Caption().starts_with("Eprom 27C256"));

  next.click();
  EXPECT_FALSE(consented) << "the consent outlived its part";
  EXPECT_TRUE(Label("lblJobLastPart").starts_with("Part 1, serial 500: Done: "))
      << Label("lblJobLastPart");
  EXPECT_EQ(Label("lblJobCounts"), "Done 1, failed 0, left 2");
  EXPECT_EQ(next.text().toStdString(), "&Next Part");
  std::vector<std::uint8_t> expected = image;
  expected[0x10] = 0xF4;  // 500, little endian
  expected[0x11] = 0x01;
  EXPECT_TRUE(first.Contents() == expected);

  // A refused file leaves the running job as it was.
  LoadJob("broken.toml");
  EXPECT_EQ(Label("lblJobCounts"), "Done 1, failed 0, left 2");
  EXPECT_TRUE(next.isEnabled());

  const sim::EpromChip& second = InsertBlankPart();
  QTimer::singleShot(0, window.get(), [&stop] { stop.click(); });
  next.click();
  EXPECT_TRUE(Label("lblJobLastPart").starts_with("Part 2, serial 501: Stopped: "))
      << Label("lblJobLastPart");
  EXPECT_EQ(Label("lblJob"), "Job Lot 9: stopped by the operator");
  EXPECT_EQ(Label("lblJobCounts"), "Done 1, failed 1, left 1");
  EXPECT_FALSE(next.isEnabled());
  EXPECT_FALSE(stop.isEnabled());
  EXPECT_FALSE(model->OperationRunning());
  EXPECT_FALSE(second.Contents() == expected) << "the stopped part was burned whole";
  EXPECT_TRUE(
      LastLogLine().ends_with("Operation STOPPED by the operator - board reset, "
                              "programming voltage off"))
      << LastLogLine();
}

}  // namespace
}  // namespace sorvell::gui::testing
