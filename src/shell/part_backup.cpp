// The part's contents read and kept before an erase or a burn changes them, so that an operator
// who burned the wrong part, or the right part with the wrong image, can have it back.
#include <string>
#include <vector>

#include "backups/backup_store.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

// The controls a read changes when it takes the part's image as the buffer's.
constexpr const char* kEnabledByRead[] = {"Verify_button",  "menuVerifyCode",    "Erase_button",
                                          "menuEraseCode",  "mnuFileSaveCodeAs", "Program_button",
                                          "menuProgramCode"};
constexpr const char* kCaptionedByRead[] = {"FileNameCodeText", "FileNameCodeSize"};

// The image about to be burned, and what the window says about it, as they were before the
// backup's read took the buffer over; put back however the read ends (a stop unwinds through
// here too).
class ImageAside {
 public:
  explicit ImageAside(MainForm& form)
      : form_(form),
        buffers_(form.buffers),
        deviceSize_(form.device.DeviceSize),
        address_(form.board.CurrentAddress),
        scrollMaximum_(form.frmMain["VScroll1"].Maximum()) {
    for (const char* name : kEnabledByRead) enabled_.push_back(form.frmMain[name].Enabled());
    for (const char* name : kCaptionedByRead) captions_.push_back(form.frmMain[name].Caption());
  }
  ImageAside(const ImageAside&) = delete;
  ImageAside& operator=(const ImageAside&) = delete;

  ~ImageAside() {
    form_.buffers = std::move(buffers_);
    form_.device.DeviceSize = deviceSize_;
    panel::Form& window = form_.frmMain;
    for (std::size_t i = 0; i < std::size(kEnabledByRead); ++i) {
      window[kEnabledByRead[i]].SetEnabled(enabled_[i]);
    }
    for (std::size_t i = 0; i < std::size(kCaptionedByRead); ++i) {
      window[kCaptionedByRead[i]].SetCaption(captions_[i]);
    }
    form_.panel.SetDumpPages(scrollMaximum_ + 1);
    form_.view.DisplayPageMemory();
    form_.board.CurrentAddress = address_;
    form_.board.Endereco2Adr();
  }

 private:
  MainForm& form_;
  buffers::Buffers buffers_;
  std::int32_t deviceSize_;
  std::int32_t address_;
  int scrollMaximum_;
  std::vector<bool> enabled_;
  std::vector<std::string> captions_;
};

}  // namespace

void MainForm::SetBackups(bool keep) {
  frmMain["BackupBeforeBurn"].SetValue(keep ? 1 : 0);
}

// Without a data folder (the tests that keep nothing anywhere) no backup is made and nothing is
// refused for want of one.
bool MainForm::KeepPartContents(std::string_view before) {
  if (edges_.folders.dataFolder.empty() || frmMain["BackupBeforeBurn"].Value() == 0) return true;
  const std::string what(before);
  panel.AddLog("Reading the part to keep its contents before " + what);
  std::vector<std::uint8_t> contents;
  if (!ReadPartAside(contents)) {
    panel.AddLog("The part could not be read: nothing was changed in it");
    return false;
  }
  const backups::BackupStore store(edges_.folders.dataFolder / "backups");
  const backups::KeptBackup kept = store.Keep(contents);
  if (!kept.Kept()) {
    const std::string reason = "The part's contents could not be kept, " + what +
                               " did not start and nothing was changed in the part: " + kept.error;
    panel.AddLog(reason);
    panel.Notice(reason +
                     ". Make the folder writable, or turn off Backup Before Erasing or "
                     "Burning to go on without a backup.",
                 "Backup Not Kept");
    panel.ReportNotDone(panel::NotDoneReason::kFileNotSaved, reason);
    panel.PlayEventSound("ERROR");
    return false;
  }
  run.LastBackupFile = kept.file.string();
  panel.AddLog("Part contents kept in " + run.LastBackupFile + " before " + what);
  return true;
}

// The read the Read button makes, passes and all, into the buffer, which then gets the image to
// be burned back.
bool MainForm::ReadPartAside(std::vector<std::uint8_t>& contents) {
  const ImageAside aside(*this);
  dispatcher.READCODE();
  if (!panel.EventOutcome().IsDone()) return false;
  const auto size = static_cast<std::size_t>(operation.PartBytes());
  contents.assign(buffers.CodeBuffer.begin(), buffers.CodeBuffer.begin() + size);
  return true;
}

}  // namespace sorvell::shell
