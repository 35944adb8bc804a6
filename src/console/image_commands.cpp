// One-line commands that arrange image files without a board: each opens the file, runs the
// window's Image menu entry with the command line's words as the answers to its questions, and
// saves the result, so that the log, the checks and the refusals are the window's own.
#include <array>

#include "console/commands.h"
#include "console/exit_status.h"

namespace sorvell::console {

namespace {

// As cmp has it: two images that differ are the command's failure.
constexpr int kExitImagesDiffer = kExitErrorAlert;

struct ImageCommand {
  const char* name;
  const char* menu;
  bool opensInput;  // the first file is opened as the code image first
  bool needsDevice;
  bool savesOutput;  // the image is saved to -o afterwards (others write files themselves)
};

constexpr std::array kImageCommands = {
    ImageCommand{"swap", "mnuImageSwap", true, false, true},
    ImageCommand{"split", "mnuImageSplit", true, false, false},
    ImageCommand{"interleave", "mnuImageInterleave", false, false, true},
    ImageCommand{"place", "mnuImageLoadAt", true, false, true},
    ImageCommand{"cut", "mnuImageSaveRange", true, false, false},
    ImageCommand{"fill", "mnuImageFill", true, false, true},
    ImageCommand{"pad", "mnuImagePad", true, true, true},
    ImageCommand{"repeat", "mnuImageRepeat", true, true, true},
    ImageCommand{"compare", "mnuImageCompare", true, false, false},
};

const ImageCommand* Find(const std::string& name) {
  for (const ImageCommand& command : kImageCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace

bool IsImageCommand(const std::string& name) {
  return Find(name) != nullptr;
}

// The answers the menu entry's questions take, in the order it asks them.
std::vector<std::string> CommandRunner::ImageAnswers() const {
  const std::vector<std::string>& words = command_.words;
  const std::string& name = command_.name;
  if (name == "split") return {words.at(1), words.at(2)};
  if (name == "interleave") return {words.at(0), words.at(1)};
  if (name == "place") return {words.at(1), words.at(2)};
  if (name == "cut") return {words.at(1), command_.output};
  if (name == "fill") return {words.at(1) + " " + words.at(2)};
  if (name == "compare") return {words.at(1)};
  return {};
}

int CommandRunner::Arrange() {
  const ImageCommand& image = *Find(command_.name);
  if (image.needsDevice) {
    if (const int status = SelectDevice(); status != kExitOk) return status;
  }
  if (image.opensInput) {
    if (const int status = Open(command_.words.at(0), options_.format); status != kExitOk)
      return status;
  }
  for (const std::string& answer : ImageAnswers()) dialogs_.Queue(answer);
  if (const int status = Click(image.menu); status != kExitOk) return status;
  if (command_.name == "compare" && !form_.buffers.DifferingAddresses.empty()) {
    return kExitImagesDiffer;
  }
  return image.savesOutput ? Save(command_.output) : kExitOk;
}

}  // namespace sorvell::console
