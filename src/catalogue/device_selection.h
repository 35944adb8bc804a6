#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "board/board.h"
#include "catalogue/selection.h"
#include "panel/panel.h"

namespace sorvell::catalogue {

// What selecting a device asks of the images: the buffers answer it, from above.
class LoadedImages {
 public:
  virtual ~LoadedImages() = default;
  // Enables what a loaded code or data image allows once a device is chosen.
  virtual void EnableLoadedBufferControls() = 0;
  // A device without a data memory has no use for a loaded data image.
  virtual void ForgetDataImage() = 0;
  // Tells the operator when the loaded image is not the size of the chosen part.
  virtual void ReportImageFit() = 0;
};

// What choosing a device leaves one of the options it decides at (a voltage, Code, Data): whether
// the operator may change it afterwards, and its value then.
struct OptionAfterChoice {
  bool enabled = false;
  int value = 0;
};

// The device list and what choosing an entry, the speed slider or a voltage sets.
class DeviceSelection {
 public:
  DeviceSelection(Selection& device, board::Board& board, panel::Panel& panel,
                  LoadedImages& images);

  void FillDeviceList();
  void Device_Click();
  void CalcSpeedDelays();
  void Slider1_Change();
  void Voltage_button_Click(int index);
  void EnableSelectedDeviceControls();
  void SelectSuggestedVoltage();
  // Nothing can be done to a device until one is selected.
  void ClearDeviceControls();

  // For list entry `index` and one of the options a device choice decides
  // ("Voltage_button(N)", "CheckCode", "CheckData"); none for another control or an entry that
  // cannot be chosen.
  std::optional<OptionAfterChoice> OptionAfterChoosing(int index, std::string_view option) const;

  // The autoselect read the AT29C256 gets when it is chosen; the Flash room above provides it.
  std::function<void()> ProbeFlashID;

 private:
  void ApplyTableRow(const std::string& name);
  void ShowDeviceOptions();
  void EnableMicrocontrollerControls();

  Selection& device_;
  board::Board& board_;
  panel::Panel& panel_;
  LoadedImages& images_;
};

}  // namespace sorvell::catalogue
