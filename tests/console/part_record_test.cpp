// The record of every part, end to end: commands on the simulated board leave their records in
// the data folder, `history` lists them, `restore` burns a backup back, and a record that cannot
// be kept never changes how an operation ended.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "buffers/checksums.h"
#include "command_rig.h"
#include "records/record_store.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

nlohmann::json History(CommandRig& rig, std::vector<std::string> filters = {}) {
  filters.insert(filters.begin(), {"history", "--json"});
  EXPECT_EQ(rig.Run(filters), kExitOk) << rig.Err();
  return nlohmann::json::parse(rig.Out());
}

// A read, a verify against an image that differs at one byte and a Flash erase: each record
// names its operation and outcome, the failing address, the image and what the part holds.
TEST(PartRecordTest, OperationsLeaveRecordsThatHistoryFilters) {
  CommandRig rig;
  const std::vector<std::uint8_t> image = Pattern(32768);
  const auto file = rig.Write("image.bin", image);
  std::vector<std::uint8_t> wrong = image;
  wrong[0x1234] ^= 0x40;
  const auto wrongFile = rig.Write("wrong.bin", wrong);

  ASSERT_EQ(rig.Run({"read", "-d", "27C256", "-o", rig.Path("back.bin"), "--sim",
                     "insert 27C256 " + file.string()}),
            kExitOk)
      << rig.Err();
  EXPECT_EQ(rig.Run({"verify", "-d", "27C256", "-i", wrongFile}), kExitErrorAlert);
  ASSERT_EQ(rig.Run({"erase", "-d", "AM29F010", "--yes", "--sim", "insert AM29F010"}), kExitOk)
      << rig.Err();

  const nlohmann::json all = History(rig);
  ASSERT_EQ(all.size(), 3u) << all.dump(1);
  const nlohmann::json &erase = all[0], &verify = all[1], &read = all[2];  // newest first
  const buffers::Checksums sums = buffers::ChecksumsOf(image);
  EXPECT_EQ(read["operation"], "Read");
  EXPECT_EQ(read["outcome"], "done");
  EXPECT_EQ(read["device"], "Eprom 27C256");
  EXPECT_EQ(read["partSum16"], sums.sum16);
  EXPECT_EQ(read["partCrc32"], sums.crc32);
  EXPECT_EQ(read["image"]["sha256"], sums.sha256);
  EXPECT_EQ(read["failingAddress"], nullptr);
  EXPECT_GT(read["durationNs"].get<std::uint64_t>(), 0u);

  EXPECT_EQ(verify["operation"], "Verify");
  EXPECT_EQ(verify["outcome"], "failed");
  EXPECT_EQ(verify["failingAddress"], 0x1234);
  EXPECT_EQ(verify["image"]["name"], "wrong.bin");
  EXPECT_EQ(verify["image"]["sha256"], buffers::ChecksumsOf(wrong).sha256);
  EXPECT_EQ(verify["partCrc32"], nullptr);  // a failed compare says nothing of the whole part
  EXPECT_TRUE(Holds(verify["detail"], "DOES NOT VERIFY at Address 1234h"));

  EXPECT_EQ(erase["operation"], "Erase");
  EXPECT_EQ(erase["outcome"], "done");
  EXPECT_EQ(erase["partCrc32"],
            buffers::ChecksumsOf(std::vector<std::uint8_t>(131072, 0xFF)).crc32);
  for (const auto& record : all) EXPECT_EQ(record["board"]["port"], "378h");

  // Filters, each alone and together.
  EXPECT_EQ(History(rig, {"--device", "am29f010"}).size(), 1u);
  EXPECT_EQ(History(rig, {"--outcome", "failed"})[0]["id"], verify["id"]);
  EXPECT_EQ(History(rig, {"--device", "27C256", "--outcome", "done"})[0]["id"], read["id"]);
  EXPECT_EQ(History(rig, {"--limit", "2"}).size(), 2u);
  EXPECT_EQ(History(rig, {"--until", "2000-01-01"}).size(), 0u);
  EXPECT_EQ(History(rig, {"--since", "2999-01-01T00:00"}).size(), 0u);
  // Times of their own, for the edges of --since and --until: a day or a minute taken whole.
  records::RecordStore store(rig.folder);
  std::string error;
  for (const char* time : {"2024-05-01 10:00:00", "2024-05-02 09:30:59"}) {
    records::PartRecord record;
    record.time = time;
    ASSERT_TRUE(store.Add(record, error)) << error;
  }
  EXPECT_EQ(History(rig, {"--until", "2024-05-01"}).size(), 1u);
  EXPECT_EQ(History(rig, {"--since", "2024-05-01", "--until", "2024-05-02 09:30"}).size(), 2u);
  EXPECT_EQ(History(rig, {"--since", "2024-05-01 10:00:01", "--until", "2024-05-02"}).size(), 1u);
  EXPECT_EQ(History(rig, {"--serial", "nothing"}).size(), 0u);
  EXPECT_EQ(rig.Run({"history", "--since", "yesterday"}), kExitBadInput);
  EXPECT_EQ(rig.Run({"history", "--outcome", "good"}), kExitBadInput);
  EXPECT_EQ(rig.Run({"history", "--json", "--csv"}), kExitBadInput);

  // CSV: a heading and one row each, the detail's comma inside quotes.
  ASSERT_EQ(rig.Run({"history", "--csv", "--outcome", "failed"}), kExitOk);
  std::istringstream csv(rig.Out());
  std::string heading, row, extra;
  std::getline(csv, heading);
  std::getline(csv, row);
  EXPECT_FALSE(std::getline(csv, extra));
  EXPECT_TRUE(heading.starts_with("id,time,program_version,")) << heading;
  EXPECT_TRUE(Holds(row, ",Verify,wrong.bin,")) << row;
  EXPECT_TRUE(Holds(row, ",failed,,Device Memory DOES NOT VERIFY at Address 1234h,4660,")) << row;

  // The table: a heading and the rows.
  ASSERT_EQ(rig.Run({"history", "--device", "27C256"}), kExitOk);
  EXPECT_TRUE(Holds(rig.Out(), "Fails at")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "01234h")) << rig.Out();
}

// A record file that is damaged, or not a file: the operation still ends done, the log says the
// record was not kept, and history says why it cannot list.
TEST(PartRecordTest, ARecordThatCannotBeKeptChangesNoOutcome) {
  for (const bool folderInTheWay : {false, true}) {
    CommandRig rig;
    const auto store = rig.Path(records::kRecordFileName);
    if (folderInTheWay) {
      std::filesystem::create_directories(store);
    } else {
      rig.Write(records::kRecordFileName, std::vector<std::uint8_t>(4096, 0x5A));
    }
    ASSERT_EQ(
        rig.Run({"read", "-d", "27C256", "-o", rig.Path("back.bin"), "--sim", "insert 27C256"}),
        kExitOk)
        << rig.Err();
    EXPECT_TRUE(Holds(rig.Out(), "The record of this operation was NOT kept: ")) << rig.Out();
    EXPECT_TRUE(Holds(rig.Out(), folderInTheWay ? "not a regular file" : "not a database"))
        << rig.Out();
    EXPECT_EQ(rig.Run({"history"}), kExitNotDone);
    EXPECT_TRUE(Holds(rig.Err(), "cannot be read")) << rig.Err();
  }
}

// restore burns the backup a record links, and refuses a record without one, a backup that is
// gone, and one whose contents no longer match its name, before anything is burned.
TEST(PartRecordTest, RestoreBurnsTheBackupBackOrRefuses) {
  CommandRig rig;
  const std::vector<std::uint8_t> kept = Pattern(32768);
  const std::string sha256 = buffers::ChecksumsOf(kept).sha256;
  std::filesystem::create_directories(rig.Path("backups"));
  rig.Write("backups/" + sha256 + ".bin", kept);
  records::RecordStore store(rig.folder);
  std::string error;
  const auto add = [&](const std::string& backup) {
    records::PartRecord record;
    record.device = "Eprom 27C256";
    record.operation = "Program";
    record.outcome = "done";
    record.backupFile = backup;
    EXPECT_TRUE(store.Add(record, error)) << error;
    return std::to_string(record.id);
  };
  const std::string withBackup = add(sha256 + ".bin");
  const std::string withoutBackup = add("");
  const std::string gone = add(std::string(64, 'a') + ".bin");
  rig.Write("backups/" + std::string(64, 'b') + ".bin", kept);
  const std::string changed = add(std::string(64, 'b') + ".bin");

  const struct {
    std::string record;
    int status;
    const char* says;
  } kRefusals[] = {
      {withoutBackup, kExitNotDone, "has no backup"},
      {gone, kExitNotDone, "cannot be read"},
      {changed, kExitNotDone, "was changed since it was kept"},
      {"99", kExitBadInput, "no such record"},
  };
  const std::vector<std::uint8_t> blank(32768, 0xFF);
  ASSERT_EQ(rig.Run({"blank", "-d", "27C256", "--sim", "insert 27C256"}), kExitOk);
  for (const auto& refusal : kRefusals) {
    EXPECT_EQ(rig.Run({"restore", refusal.record, "--yes"}), refusal.status) << refusal.says;
    EXPECT_TRUE(Holds(rig.Err(), refusal.says)) << rig.Err();
    EXPECT_EQ(rig.Cells(), blank);
  }
  EXPECT_EQ(rig.Run({"restore", withBackup}), kExitBadInput);  // no --yes, no terminal to ask

  ASSERT_EQ(rig.Run({"restore", withBackup, "--yes"}), kExitOk) << rig.Err() << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "Program the Device? => OK")) << rig.Out();
  EXPECT_EQ(rig.Cells(), kept);
  const nlohmann::json last = History(rig, {"--limit", "1"})[0];
  EXPECT_EQ(last["operation"], "Program");
  EXPECT_EQ(last["image"]["sha256"], sha256);
}

}  // namespace
}  // namespace sorvell::console
