#include <gtest/gtest.h>

#include "records/record_store.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

// Tools > History lists the data folder's records in a window of its own, its filter box
// narrows them, and without a data folder it says that nothing is kept.
TEST(HistoryWindowTest, ListsTheRecordsAndFiltersThem) {
  ShellRig rig;
  MainForm& form = *rig.form;
  ASSERT_TRUE(form.Click("mnuToolsHistory"));
  EXPECT_EQ(form.LastOutcome().reason, NotDoneReason::kFileNotLoaded);
  EXPECT_TRUE(rig.windows.shown.empty());

  form.edges().folders.dataFolder = rig.folder;
  records::RecordStore store(rig.folder);
  std::string error;
  for (const char* device : {"Eprom 27C256", "Flash AM29F010"}) {
    records::PartRecord record;
    record.device = device;
    record.operation = "Read";
    record.outcome = "done";
    ASSERT_TRUE(store.Add(record, error)) << error;
  }
  ASSERT_TRUE(form.Click("mnuToolsHistory"));
  EXPECT_TRUE(form.LastOutcome().IsDone()) << form.LastOutcome().Text();
  EXPECT_EQ(rig.windows.shown, std::vector<std::string>{"frmHistory"});
  const std::string& table = form.frmHistory["txtHistory"].Caption();
  EXPECT_NE(table.find("Eprom 27C256"), std::string::npos) << table;
  EXPECT_NE(table.find("Flash AM29F010"), std::string::npos) << table;

  form.frmHistory["txtHistoryFilter"].SetCaption("am29");
  EXPECT_TRUE(form.ClickAbout("cmdHistoryFilter"));
  const std::string& narrowed = form.frmHistory["txtHistory"].Caption();
  EXPECT_EQ(narrowed.find("Eprom 27C256"), std::string::npos) << narrowed;
  EXPECT_NE(narrowed.find("Flash AM29F010"), std::string::npos) << narrowed;
}

}  // namespace
}  // namespace sorvell::shell::testing
