#include "board/board.h"

namespace sorvell::board {

void Board::InitDecodeTables() {
  BuildNibbleDecodes(Decode);
  IdentityMap(AdrMapB);
  IdentityMap(AdrMapC);
  BuildModel4Decode(Decode);
  PrintableChars = kPrintableChars;
}

// A15..A8 go through the device's map (some parts move address bits onto other register bits);
// register 3 keeps its control bits 7..4 (chip enable, register 4 enable, bits 5..4).
void Board::SETADR() {
  Reg1Shadow = AdrMapB[AddrByte1] | Reg1FixedBits;
  SetReg1();
  Reg2Shadow = AddrByte0;
  SetReg2();
  Reg3Shadow = BankBits() | (Reg3Shadow & 0xF0) | Reg3FixedBits;
  SetReg3();
}

void Board::SETADR_FLASH() {
  SETADR();
}

// The page-write EEPROM's address path: A14 moves to register 1 bit 7 (by adding 40h) so bit 6,
// its write enable, stays inactive; only registers whose value changes are written, which keeps
// the byte loads of a page inside the device's load window.
void Board::SETADR_XICOR() {
  int value = AddrByte1;
  if (AddrByte1 != 0) value += 0x40;
  value |= Reg1FixedBits;
  if (value != Reg1Shadow) {
    Reg1Shadow = value;
    SetReg1();
  }
  if (Reg2Shadow != AddrByte0) {
    Reg2Shadow = AddrByte0;
    SetReg2();
  }
  value = (Reg3Shadow & 0xF0) | Reg3FixedBits | (AddrByte2 & kBankBitsMask);
  if (value != Reg3Shadow) {
    Reg3Shadow = value;
    SetReg3();
  }
}

void Board::IncADR() {
  ++CurrentAddress;
  if (++AddrByte0 > 255) {
    AddrByte0 = 0;
    if (++AddrByte1 > 255) {
      AddrByte1 = 0;
      ++AddrByte2;
    }
  }
}

void Board::CEON() {
  Reg3Shadow &= 0x7F;
  SetReg3();
}
void Board::CEOFF() {
  Reg3Shadow |= 0x80;
  SetReg3();
}
// Output enable active also takes the VPP switch of bit 7 off the output-enable pin.
void Board::OEON() {
  Reg0Shadow &= 0x3F;
  SetReg0();
}
void Board::OEOFF() {
  Reg0Shadow |= 0x40;
  SetReg0();
}
void Board::CEOEON() {
  Reg3Shadow &= 0x7F;
  Reg0Shadow &= 0x3F;
  SetReg3();
  SetReg0();
}
void Board::CEOEOFF() {
  Reg3Shadow |= 0x80;
  Reg0Shadow |= 0x40;
  SetReg3();
  SetReg0();
}

void Board::WEON() {
  Reg3Shadow = (BankBits() | Reg3FixedBits | Reg3Shadow) & 0xFB;
  SetReg3();
}

void Board::WEOFF() {
  Reg3Shadow = Reg3Shadow | BankBits() | Reg3FixedBits | 0x04;
  SetReg3();
}

// The byte comes back four bits at a time through the status lines: select a nibble with the
// control port, read status, select the other, read again. No settling wait is needed between
// selecting and reading.
void Board::GetNibbles() {
  if (BoardModel == 4) {
    PortOut(ControlPort, ReadLowSelect);
    const int low = PortIn(StatusPort) >> 4;
    PortOut(ControlPort, ReadHighSelect);
    const int high = PortIn(StatusPort) & 0xF0;
    ReadByte = static_cast<std::uint8_t>(Decode.Model4Decode[high | low]);
  } else if (IsModel56()) {
    PortOut(ControlPort, ReadLowSelect);
    const int low = Decode.LowNibbleDecode[PortIn(StatusPort)];
    PortOut(ControlPort, ReadHighSelect);
    ReadByte = static_cast<std::uint8_t>(low | Decode.HighNibbleDecode[PortIn(StatusPort)]);
  }
}

// Only D7..D4: the two-wire bus samples its data line (D7) this way.
void Board::GetNibbles24CXX() {
  if (BoardModel != 4 && !IsModel56()) return;
  PortOut(ControlPort, ReadHighSelect);
  const int status = PortIn(StatusPort);
  const int value =
      BoardModel == 4 ? Decode.Model4Decode[status & 0xF0] : Decode.HighNibbleDecode[status];
  ReadByte = static_cast<std::uint8_t>(value);
}

void Board::WaitSettlingTime() {
  timing_.Spin(static_cast<std::int64_t>(StrobeFactor) * 100);
}
void Board::StrobeDelay() {
  timing_.Spin(StrobeCount);
}
void Board::SpeedDelayA() {
  timing_.Spin(SpeedCountA);
}
void Board::SpeedDelayB() {
  timing_.Spin(SpeedCountB);
}
void Board::DelayLoop20() {
  timing_.Spin(20);
}
void Board::DelayLoop10() {
  timing_.Spin(10);
}
void Board::DelayLoop300() {
  timing_.Spin(300);
}
void Board::Sleep(std::uint32_t milliseconds) {
  timing_.Sleep(milliseconds);
}

}  // namespace sorvell::board
