#include <string>

#include "panel/window_layouts.h"

namespace sorvell::panel {

namespace {

using K = ControlKind;

struct ControlRow {
  const char* name;
  K kind;
  const char* caption;
  const char* toolTip;
  const char* container;
};

// The window's controls in design order; containers come before what they hold.
constexpr ControlRow kControls[] = {
    {"Frame2", K::kFrame, "Select Device", "", ""},
    {"Device", K::kDropDownList, "Please Select Device on this List", "", "Frame2"},
    {"PleaseSelect", K::kLabel, "Please  Select Device", "", "Frame2"},
    {"Frame4", K::kFrame, "LPT Port Selection", "", ""},
    {"LPTSelection(0)", K::kOptionButton, "378h", "", "Frame4"},
    {"LPTSelection(1)", K::kOptionButton, "278h", "", "Frame4"},
    {"LPTSelection(2)", K::kOptionButton, "3BCh", "", "Frame4"},
    {"PortSelected", K::kTextBox, "", "", "Frame4"},
    {"Frame9", K::kFrame, "Sorvell Hardware Found", "", ""},
    {"SorvellHardwareFound", K::kLabel, "NO HARDWARE FOUND", "", "Frame9"},
    {"TestHardware_button", K::kButton, "TestPort", "Test Communication LPT port", "Frame9"},
    {"Read_button", K::kButton, "Read", "Read Whole Device to Buffer", ""},
    {"Blank_button", K::kButton, "Blank Chk", "Check Device for Blank (Erased)", ""},
    {"Program_button", K::kButton, "Program", "Program Device with Buffer Data", ""},
    {"Verify_button", K::kButton, "Verify", "Verify (Compare) Device with File", ""},
    {"Display_button", K::kButton, "Display", "Display Device's contents on Screen", ""},
    {"Erase_button", K::kButton, "Erase Buffer", "Erase Buffer to all \"FF\"", ""},
    {"EraseFlash_button", K::kButton, "Erase Chip", "Erase Flash or Eeprom", ""},
    {"Stop_button", K::kButton, "Stop",
     "Stop the running operation at the next safe point (Esc); the board is left idle", ""},
    {"Show_button", K::kButton, "Show Data", "", ""},
    {"Command1", K::kButton, "Command1", "", ""},
    {"VerifyButton", K::kButton, "Verify", "", ""},
    {"CheckCode", K::kCheckBox, "Code", "", ""},
    {"CheckData", K::kCheckBox, "Data", "", ""},
    {"Frame5", K::kFrame, "Optional Auto Operations", "", ""},
    {"CheckBlankPriorProgramming", K::kCheckBox, "Check Blank Before Programming", "", "Frame5"},
    {"VerifyAfterProgramming", K::kCheckBox, "Verify Device After Programming", "", "Frame5"},
    {"ReadTwice", K::kCheckBox, "Read and Verify Twice (Check Contacts)", "", "Frame5"},
    {"BackupBeforeBurn", K::kCheckBox, "Backup Before Erasing or Burning",
     "Read the part and keep its contents in the data folder's backups before Erase Chip or "
     "Program changes it",
     "Frame5"},
    {"Frame10", K::kFrame, "Hi / Low Byte Programming", "All Bytes, Even Bytes or Odd Bytes", ""},
    {"HiLow_button(0)", K::kOptionButton, "Both", "", "Frame10"},
    {"HiLow_button(1)", K::kOptionButton, "Hi Byte", "", "Frame10"},
    {"HiLow_button(2)", K::kOptionButton, "Low Byte", "", "Frame10"},
    {"FrameVoltageSelection", K::kFrame, "Select Device Programming Voltage", "", ""},
    {"Voltage_button(0)", K::kOptionButton, "5V", "", "FrameVoltageSelection"},
    {"Voltage_button(1)", K::kOptionButton, "12.5V",
     "Most CMOS actual Eproms use this Programming Voltage.", "FrameVoltageSelection"},
    {"Voltage_button(2)", K::kOptionButton, "21V",
     "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.",
     "FrameVoltageSelection"},
    {"Voltage_button(3)", K::kOptionButton, "25V",
     "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.",
     "FrameVoltageSelection"},
    {"Label4", K::kLabel, "Program Speed", "", ""},
    {"Slider1", K::kSlider, "", "Slow Down or Speed Up Programming Speed", ""},
    {"Ready_label", K::kLabel, "NotReady", "", ""},
    {"Error_label", K::kLabel, "ERROR", "", ""},
    {"Program_label", K::kLabel, "Program", "", ""},
    {"DataFlow_label", K::kLabel, "DataFlow", "", ""},
    {"FileNameCodeLabel", K::kLabel, "File Name (Code):", "", ""},
    {"FileNameCodeText", K::kLabel, "Click To Select a File", "", ""},
    {"FileNameCodeSize", K::kLabel, "(0 Bytes)", "", ""},
    {"FileNameDataLabel", K::kLabel, "File Name (Data):", "", ""},
    {"FileNameDataText", K::kLabel, "Click To Select a File", "", ""},
    {"FileNameDataSize", K::kLabel, "(0 Bytes)", "", ""},
    {"Frame6", K::kFrame, "System Log", "", ""},
    {"SystemLog", K::kMultiLineTextBox, "", "Double Click to Save to Sorvell.Log file", "Frame6"},
    {"Frame3", K::kFrame, "File Hex Display", "", ""},
    {"BufferDisplay", K::kMultiLineTextBox, "", "Double Click to Save to Sorvell.Buf file",
     "Frame3"},
    {"VScroll1", K::kScrollBar, "", "", "Frame3"},
    {"ProgressBar1", K::kProgressBar, "", "", ""},
    {"tbToolBar", K::kToolbar, "", "", ""},
    {"tbToolBar:OpenCode", K::kToolbarButton, "", "Open File into Code Buffer", "tbToolBar"},
    {"tbToolBar:SaveCode", K::kToolbarButton, "", "Save Code Buffer Into File", "tbToolBar"},
    {"tbToolBar:Separator", K::kToolbarSeparator, "", "", "tbToolBar"},
    {"tbToolBar:OpenData", K::kToolbarButton, "", "Open File into Data Buffer", "tbToolBar"},
    {"tbToolBar:SaveData", K::kToolbarButton, "", "Save Data Buffer into File", "tbToolBar"},
    {"sbStatusBar", K::kStatusBar, "", "", ""},
    {"sbOutcome", K::kLabel, "", "How the last operation ended", ""},
    {"dlgCommonDialog", K::kFileDialog, "", "", ""},
    {"Timer1", K::kTimer, "", "", ""},
};

constexpr ControlRow kMenus[] = {
    {"mnuFile", K::kMenu, "&File", "", ""},
    {"mnuFileOpenCode", K::kMenuItem, "&Open Code...", "", "mnuFile"},
    {"mnuFileSaveCode", K::kMenuItem, "&Save Code", "", "mnuFile"},
    {"mnuFileSaveCodeAs", K::kMenuItem, "Save Code &As...", "", "mnuFile"},
    {"mnuCommandBar3", K::kMenuSeparator, "-", "", "mnuFile"},
    {"mnuFileOpenData", K::kMenuItem, "Open Data...", "", "mnuFile"},
    {"mnuFileSaveData", K::kMenuItem, "Save Data", "", "mnuFile"},
    {"mnuFileSaveDataAs", K::kMenuItem, "Save Data As...", "", "mnuFile"},
    {"mnuCommandBar4", K::kMenuSeparator, "-", "", "mnuFile"},
    {"mnuFileClose", K::kMenuItem, "&Close", "", "mnuFile"},
    {"mnuFileExit", K::kMenuItem, "E&xit", "", "mnuFile"},
    {"mnuFileRecentBar", K::kMenuSeparator, "-", "", "mnuFile"},
    {"mnuFileRecent", K::kMenu, "Recent &Files", "", "mnuFile"},
    {"mnuFileRecent1", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent2", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent3", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent4", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent5", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent6", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent7", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuFileRecent8", K::kMenuItem, "", "", "mnuFileRecent"},
    {"mnuTools", K::kMenu, "&Tools", "", ""},
    {"mnuToolsOptions", K::kMenuItem, "&Options...", "", "mnuTools"},
    {"mnuToolsChecksums", K::kMenuItem, "&Checksums of the Code Buffer", "", "mnuTools"},
    {"mnuToolsJob", K::kMenuItem, "&Job...", "", "mnuTools"},
    {"mnuToolsHistory", K::kMenuItem, "&History...", "", "mnuTools"},
    {"mnuImage", K::kMenu, "&Image", "", ""},
    {"mnuImageUndo", K::kMenuItem, "&Undo", "", "mnuImage"},
    {"mnuImageRedo", K::kMenuItem, "&Redo", "", "mnuImage"},
    {"mnuImageBar0", K::kMenuSeparator, "-", "", "mnuImage"},
    {"mnuImageGoTo", K::kMenuItem, "&Go To Address...", "", "mnuImage"},
    {"mnuImageFind", K::kMenuItem, "&Find...", "", "mnuImage"},
    {"mnuImageFindNext", K::kMenuItem, "Find &Next", "", "mnuImage"},
    {"mnuImageChangeBytes", K::kMenuItem, "C&hange Bytes...", "", "mnuImage"},
    {"mnuImageBar1", K::kMenuSeparator, "-", "", "mnuImage"},
    {"mnuImageLoadAt", K::kMenuItem, "&Load File at Offset...", "", "mnuImage"},
    {"mnuImageSaveRange", K::kMenuItem, "&Save Range...", "", "mnuImage"},
    {"mnuImageFill", K::kMenuItem, "F&ill Range...", "", "mnuImage"},
    {"mnuImagePad", K::kMenuItem, "&Pad the Part with FFh", "", "mnuImage"},
    {"mnuImageSwap", K::kMenuItem, "S&wap the Bytes of Each Word", "", "mnuImage"},
    {"mnuImageSplit", K::kMenuItem, "Split into Even and &Odd Files...", "", "mnuImage"},
    {"mnuImageInterleave", K::kMenuItem, "Interleave &Even and Odd Files...", "", "mnuImage"},
    {"mnuImageRepeat", K::kMenuItem, "Re&peat to Fill the Part", "", "mnuImage"},
    {"mnuImageBar2", K::kMenuSeparator, "-", "", "mnuImage"},
    {"mnuImageCompare", K::kMenuItem, "&Compare with File...", "", "mnuImage"},
    {"menuCommand", K::kMenu, "&Command", "", ""},
    {"menuBlankCheck", K::kMenuItem, "Blank Check Device for Erased", "", "menuCommand"},
    {"xxx8", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuProgramCode", K::kMenuItem, "Program Device Code", "", "menuCommand"},
    {"menuReadCode", K::kMenuItem, "Read Device Code", "", "menuCommand"},
    {"menuVerifyCode", K::kMenuItem, "Verify Device Code", "", "menuCommand"},
    {"xxx6", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuProgramData", K::kMenuItem, "Program Device Data", "", "menuCommand"},
    {"menuReadData", K::kMenuItem, "Read Device Data", "", "menuCommand"},
    {"menuVerifyData", K::kMenuItem, "Verify Device Data", "", "menuCommand"},
    {"menuCommandBar0", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuDisplayCode", K::kMenuItem, "Display Device CODE", "", "menuCommand"},
    {"menuDisplayData", K::kMenuItem, "Display Device DATA", "", "menuCommand"},
    {"menuCommandBar2", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuEraseCode", K::kMenuItem, "Erase CODE Buffer (\"FF\")", "", "menuCommand"},
    {"menuEraseData", K::kMenuItem, "Erase DATA Buffer (\"FF\")", "", "menuCommand"},
    {"menuEraseFlash", K::kMenuItem, "Erase Device Flash Memory", "", "menuCommand"},
    {"xxx10", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuTestHardware", K::kMenuItem, "Test LPT Ports", "", "menuCommand"},
    {"xxx11", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuFlashShowCodeID", K::kMenuItem, "Show Flash Code ID#", "", "menuCommand"},
    {"xxx12", K::kMenuSeparator, "-", "", "menuCommand"},
    {"menuNextDifference", K::kMenuItem, "Next Difference", "", "menuCommand"},
    {"menuPreviousDifference", K::kMenuItem, "Previous Difference", "", "menuCommand"},
    {"Setup", K::kMenu, "&Setup", "", ""},
    {"LoadSetup", K::kMenu, "&Load Setup", "", "Setup"},
    {"LoadSetup1", K::kMenuItem, "Load Setup #&1", "", "LoadSetup"},
    {"LoadSetup2", K::kMenuItem, "Load Setup #&2", "", "LoadSetup"},
    {"LoadSetup3", K::kMenuItem, "Load Setup #&3", "", "LoadSetup"},
    {"LoadSetup4", K::kMenuItem, "Load Setup #&4", "", "LoadSetup"},
    {"xxx4", K::kMenuSeparator, "-", "", "Setup"},
    {"SaveSetup", K::kMenu, "&Save Setup", "", "Setup"},
    {"SaveSetup1", K::kMenuItem, "Save Setup #&1", "", "SaveSetup"},
    {"SaveSetup2", K::kMenuItem, "Save Setup #&2", "", "SaveSetup"},
    {"SaveSetup3", K::kMenuItem, "Save Setup #&3", "", "SaveSetup"},
    {"SaveSetup4", K::kMenuItem, "Save Setup #&4", "", "SaveSetup"},
    {"xxx9", K::kMenuSeparator, "-", "", "Setup"},
    {"ForceSorvell4", K::kMenuItem, "Force Set SORVELL-4", "", "Setup"},
    {"ForceSorvell5", K::kMenuItem, "Force Set SORVELL-5", "", "Setup"},
    {"ForceSorvell6", K::kMenuItem, "Force Set SORVELL-6", "", "Setup"},
    {"xxx12", K::kMenuSeparator, "-", "", "Setup"},
    {"LoopFlashTest", K::kMenuItem, "LoopFlashTest", "", "Setup"},
    {"ResetFlash", K::kMenuItem, "ResetFlash", "", "Setup"},
    {"mnuHelp", K::kMenu, "&Help", "", ""},
    {"mnuHelpContents", K::kMenuItem, "&Contents", "", "mnuHelp"},
    {"mnuHelpSearchForHelpOn", K::kMenuItem, "&Search For Help On...", "", "mnuHelp"},
    {"mnuHelpBar0", K::kMenuSeparator, "-", "", "mnuHelp"},
    {"mnuHelpAbout", K::kMenuItem, "&About ", "", "mnuHelp"},
};

void AddRows(Form& form, const ControlRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const ControlRow& r = rows[i];
    form.Add(r.name, r.kind, r.caption, r.toolTip, r.container);
  }
}

void SetDesignState(Form& form) {
  form["Slider1"].SetRange(1, 20);
  form["Slider1"].SetValue(18);
  form["ProgressBar1"].SetRange(0, 100);
  form["CheckCode"].SetValue(1);
  form["CheckBlankPriorProgramming"].SetValue(1);
  form["VerifyAfterProgramming"].SetValue(1);
  form["BackupBeforeBurn"].SetValue(1);
  form["HiLow_button(0)"].SetValue(1);
  for (const char* hidden : {"Frame5", "CheckBlankPriorProgramming", "VerifyAfterProgramming",
                             "ReadTwice", "BackupBeforeBurn", "FrameVoltageSelection"}) {
    form[hidden].SetVisible(false);
  }
  for (const char* disabled : {"mnuFileSaveCode", "mnuFileSaveCodeAs", "mnuFileOpenData",
                               "mnuFileSaveData", "mnuFileSaveDataAs", "LoadSetup1", "LoadSetup2",
                               "LoadSetup3", "LoadSetup4", "Stop_button"}) {
    form[disabled].SetEnabled(false);
  }
  // The recent files show once there are some.
  form["mnuFileRecent"].SetEnabled(false);
  for (int entry = 1; entry <= 8; ++entry) {
    form["mnuFileRecent" + std::to_string(entry)].SetVisible(false);
  }
  for (const char* hiddenMenu : {"LoopFlashTest", "ResetFlash"}) {
    form[hiddenMenu].SetEnabled(false);
    form[hiddenMenu].SetVisible(false);
  }
  form["Timer1"].SetEnabled(true);
}

}  // namespace

void BuildMainWindow(Form& form) {
  AddRows(form, kControls, std::size(kControls));
  AddRows(form, kMenus, std::size(kMenus));
  SetDesignState(form);
}

Control& ToolbarButton(Form& form, int index) {
  static constexpr const char* kButtons[] = {"tbToolBar:OpenCode", "tbToolBar:SaveCode",
                                             "tbToolBar:Separator", "tbToolBar:OpenData",
                                             "tbToolBar:SaveData"};
  return form[kButtons[index - 1]];
}

void BuildAboutWindow(Form& form) {
  form.Add("picIcon", K::kPicture);
  form.Add("lblTitle", K::kLabel);
  form.Add("lblVersion", K::kLabel);
  form.Add("lblDescription", K::kLabel,
           "The operator program for the Sorvell device programmer boards, models 4, 5 and 6, on "
           "a PC parallel port: read, blank-check, program, verify and erase UV-EPROMs, 5 V Flash, "
           "page-write and serial EEPROMs, with image files, hex dumps and a time-stamped log. "
           "Without a parallel port it runs on a simulated board.");
  form.Add("lblDisclaimer", K::kLabel,
           "Warning: This software runs on Linux. It reaches the board through a parallel port at "
           "378h, 278h or 3BCh, by the kernel's ppdev driver (the modules parport_pc and ppdev "
           "loaded, and the user in group lp) or by direct I/O (x86, root). The window needs Qt 6. "
           "System Info tells what is missing on this machine.");
  form.Add("Label1", K::kLabel,
           "Beta release: check every programmed part before you rely on it, and report problems "
           "with the log (double-click it to save SORVELL.LOG).");
  form.Add("cmdOK", K::kButton, "OK");
  form.Add("cmdSysInfo", K::kButton, "&System Info...");
}

void BuildDisplayWindow(Form& form) {
  form.Add("Frame1", K::kFrame, "Code Buffer Hex/Ascii Display");
  form.Add("BufferDisplay", K::kMultiLineTextBox, "", "", "Frame1");
  form.Add("VScroll1", K::kScrollBar, "", "", "Frame1");
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "Command" + std::to_string(i);
    form.Add(name, K::kButton, name);
  }
}

void BuildHistoryWindow(Form& form) {
  form.Add("lblHistoryFilter", K::kLabel,
           "Show the records that mention (device, operation, outcome, job, serial or image):");
  form.Add("txtHistoryFilter", K::kTextBox);
  form.Add("txtHistory", K::kMultiLineTextBox);
  form.Add("cmdHistoryFilter", K::kButton, "&Filter");
  form.Add("cmdOK", K::kButton, "OK");
}

}  // namespace sorvell::panel
