#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "buffers/buffers.h"
#include "buffers/image_files.h"
#include "catalogue/device_selection.h"
#include "panel/panel.h"
#include "shell/setup_file.h"

namespace sorvell::shell {

// The four setups of the Setup menu: the option controls and the code file name, stored as
// "SVSetup1.INI" to "SVSetup4.INI" in the working folder and restored with one click.
class Setups {
 public:
  // Changes a control as the operator would, running its handler; false when it refuses.
  using SetControl = std::function<bool(std::string_view name, int value)>;

  Setups(panel::Panel& panel, buffers::Buffers& buffers, buffers::ImageFiles& images,
         catalogue::DeviceSelection& selection, SetControl setControl);

  // Opening the Setup menu: each Load entry with a file behind it is enabled and named.
  void Setup_Click();
  void SaveSetup1_Click() { SaveSetupRot("SVSetup1.INI"); }
  void SaveSetup2_Click() { SaveSetupRot("SVSetup2.INI"); }
  void SaveSetup3_Click() { SaveSetupRot("SVSetup3.INI"); }
  void SaveSetup4_Click() { SaveSetupRot("SVSetup4.INI"); }
  void LoadSetup1_Click() { LoadSetupRot("SVSetup1.INI"); }
  void LoadSetup2_Click() { LoadSetupRot("SVSetup2.INI"); }
  void LoadSetup3_Click() { LoadSetupRot("SVSetup3.INI"); }
  void LoadSetup4_Click() { LoadSetupRot("SVSetup4.INI"); }

  // Asks for a name and writes the setup file `Fname`.
  void SaveSetupRot(const std::string& Fname);
  // Restores the controls from `Fname` and reloads its code file. A file that cannot be read,
  // holds a value no control takes or names a code file that cannot be loaded changes nothing.
  void LoadSetupRot(const std::string& Fname);

 private:
  bool ReadSetup(const std::string& Fname, std::vector<SetupEntry>& entries, std::string& error);
  bool CheckValues(const std::vector<SetupEntry>& entries, std::string& error);
  bool CheckCodeFile(const std::vector<SetupEntry>& entries, std::string& error);
  bool CheckOptions(const std::vector<SetupEntry>& entries, std::string& error);
  void Apply(const SetupEntry& entry);
  void RestoreCodeFile();
  void RefuseSetup(const std::string& Fname, const std::string& error);

  panel::Panel& panel_;
  buffers::Buffers& buffers_;
  buffers::ImageFiles& images_;
  catalogue::DeviceSelection& selection_;
  SetControl setControl_;
};

}  // namespace sorvell::shell
