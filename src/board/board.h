#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "board/decode_tables.h"
#include "board/port_io.h"
#include "board/strobe_table.h"
#include "board/timing.h"

namespace sorvell::board {

// The programmer board as the program sees it: five write-only latches reached through three
// port addresses, the shadows that are the only record of what the latches hold, and the bus
// cycles built from them. The board cannot be read back except through the status lines, so
// every bit change edits a shadow and rewrites the whole register.
//
// Member names follow the board's own vocabulary (registers, strobes, address bytes) because the
// device operations built on top are written in it.
class Board {
 public:
  Board(PortIo& port, Timing& timing);

  // --- Port access -----------------------------------------------------------------------------
  std::uint16_t DataPort = 0;  // base of the parallel port, 0 while no port is chosen
  std::uint16_t StatusPort = 0;
  std::uint16_t ControlPort = 0;
  int BoardModel = 0;  // 0 unknown, else 4, 5 or 6
  // Accesses refused because no port is chosen: nothing may go to I/O ports 0 to 2.
  std::uint64_t RefusedPortAccesses = 0;

  // --- Strobe values -----------------------------------------------------------------------------
  StrobeTableType StrobeTable{};
  int Reg0StrobeA = 0, Reg1StrobeA = 0, Reg2StrobeA = 0, Reg3StrobeA = 0, Reg4StrobeA = 0;
  int Reg0StrobeB = 0, Reg1StrobeB = 0, Reg2StrobeB = 0, Reg3StrobeB = 0, Reg4StrobeB = 0;
  int ReadLowSelect = 0;
  int ReadHighSelect = 0;

  // --- Register shadows (always 0..255) ----------------------------------------------------------
  int Reg0Shadow = 0, Reg1Shadow = 0, Reg2Shadow = 0, Reg3Shadow = 0, Reg4Shadow = 0;

  // --- Device address ----------------------------------------------------------------------------
  std::int32_t CurrentAddress = 0;
  std::int32_t AddrByte0 = 0, AddrByte1 = 0, AddrByte2 = 0;
  // Register 3 bits 3..0 carry A19..A16; bits 7..4 are control lines (chip enable, the data
  // driver's enable, the identification line), which an address must never reach.
  static constexpr int kBankBitsMask = 0x0F;
  static constexpr std::int32_t kAddressSpace = 1 << 20;  // the board's twenty address lines
  // Register 3's address bits for the current bank, through the device's map.
  int BankBits() const { return AdrMapC[AddrByte2 & kBankBitsMask] & kBankBitsMask; }
  std::int32_t AddressDivisorHigh = 65536;  // splitter divisors, set at start-up
  std::int32_t AddressDivisorLow = 256;

  // --- Device-dependent bus inputs (set by device selection) ------------------------------------
  int Reg1FixedBits = 0;
  int Reg3FixedBits = 0;
  DecodeTable AdrMapB{};
  DecodeTable AdrMapC{};
  std::int32_t StrobeCount = 0, SpeedCountA = 0, SpeedCountB = 0;
  std::int32_t StrobeFactor = 5;

  // --- Read-back
  // -----------------------------------------------------------------------------------
  DecodeTables Decode{};
  std::string PrintableChars;
  std::uint8_t ReadByte = 0;

  // --- What the latches hold ---------------------------------------------------------------------
  // The value a latch (0..4) took when the program last clocked it, followed from every write to
  // the data and control ports, whichever procedure made it: a latch takes the data lines while it
  // is addressed with its clock on. The shadows are what procedures mean to write; the fast Flash
  // cycles write latches without them. Unknown (nullopt) until written with port and model known.
  std::optional<int> Latched(int reg) const { return latched_.at(static_cast<std::size_t>(reg)); }

  // --- Presence (board/board_answers.h) ---------------------------------------------------------
  // When the board was last checked for an answer, on its clock, and how many checks were made.
  std::uint64_t LastAnswerCheckNs = 0;
  std::uint64_t AnswerChecks = 0;

  // Run at the end of Reset for state owned elsewhere (the progress bar, the serial erase mode).
  std::function<void()> OnReset;

  // --- Start-up
  // ------------------------------------------------------------------------------------
  void InitStrobeTable();
  void InitDecodeTables();
  void SelectModelStrobes();

  // --- Register writes and idle state ------------------------------------------------------------
  void SetReg0();
  void SetReg1();
  void SetReg2();
  void SetReg3();
  void SetReg4();
  void Reset();
  void Endereco2Adr();

  // --- Single-bit procedures ---------------------------------------------------------------------
  void REG4ON();
  void REG4OFF();
  void VPP24_ON();
  void VPP24_OFF();
  void REG0B3ON();
  void REG0B3OFF();
  void REG1B7ON();
  void REG1B7OFF();
  void REG1B6ON();
  void REG1B6OFF();

  // --- Bus cycles
  // ----------------------------------------------------------------------------------
  void SETADR();
  void SETADR_FLASH();
  void SETADR_XICOR();
  void IncADR();
  void CEON();
  void CEOFF();
  void OEON();
  void OEOFF();
  void CEOEON();
  void CEOEOFF();
  // The 32-pin Flash parts' write enable, register 3 bit 2 (socket pin 31), active low; the bank
  // bits of register 3 stay in place. A write cycle's byte is taken as it goes inactive.
  void WEON();
  void WEOFF();
  void GetNibbles();
  void GetNibbles24CXX();

  // --- Programming pulses (board/pulse.cpp) ------------------------------------------------------
  // The cost of one port access, measured when the port was opened (0 where it was not).
  std::uint64_t AccessNs = 0;
  // A programming pulse on the active-low line `lineMask` of register `reg` (0..4): the line goes
  // active at the clock of one register write and inactive at the clock of the next, `lengthNs`
  // apart, so the part sees the length meant whatever the writes around it cost. Returns how long
  // it lasted on the timing's clock, from the one clock write to the other.
  std::uint64_t Pulse(int reg, int lineMask, std::uint64_t lengthNs);

  // --- Register writes at port speed (board/fast_cycles.cpp) ------------------------------------
  // For the cycles a part must see back to back (Flash commands, page loads): no strobe waits,
  // and the shadows are left as they are.
  // The fast command write: data, then the register's clock (three port writes).
  void FastRegisterWrite(int reg, int value);
  // Its pieces, for a writer that follows which latch is selected already.
  void DriveDataLines(int value);
  void SelectLatch(int reg);
  void ClockLatch(int reg);
  struct ClockEdge {
    std::uint64_t beforeNs;  // the monotonic clock read at or before the edge
    std::uint64_t afterNs;   // and at or after it
  };
  ClockEdge ClockLatchTimed(int reg);

  // --- Busy waits
  // ----------------------------------------------------------------------------------
  void WaitSettlingTime();
  void StrobeDelay();
  void SpeedDelayA();
  void SpeedDelayB();
  void DelayLoop20();
  void DelayLoop10();
  void DelayLoop300();
  void Sleep(std::uint32_t milliseconds);

  // Raw port access, refused while no port is chosen (a refused read answers FFh, like a port
  // where nothing is connected).
  void PortOut(std::uint16_t port, int value);
  std::uint8_t PortIn(std::uint16_t port);

  PortIo& Port() { return port_; }
  Timing& Clock() { return timing_; }

 private:
  void SelectRegister(int shadow, int strobeA);
  void WriteRegister(int shadow, int strobeA, int strobeB);
  struct RegisterLatch {
    int& shadow;
    int strobeA;
    int strobeB;
  };
  RegisterLatch LatchOf(int reg);
  bool IsModel56() const { return BoardModel == 5 || BoardModel == 6; }
  void FollowLatches(std::uint16_t port, int value);

  PortIo& port_;
  Timing& timing_;
  std::array<std::optional<int>, 5> latched_{};
  std::optional<int> dataLines_;
  int clockedLatch_ = -1;
  // The port and model the record above was followed under; another one starts it afresh.
  std::uint16_t followedPort_ = 0;
  int followedModel_ = 0;
};

}  // namespace sorvell::board
