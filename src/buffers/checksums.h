#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sorvell::buffers {

// The checksums ROM lists and other programmer tools publish for an image, beside the 16-bit sum
// the log has always given.
struct Checksums {
  std::size_t bytes = 0;
  std::uint8_t sum8 = 0;
  std::uint16_t sum16 = 0;
  // CRC-16/CCITT as most tools give it: polynomial 1021h, initial FFFFh, no reflection, no final
  // XOR ("CCITT-FALSE"); "123456789" gives 29B1h.
  std::uint16_t crc16 = 0;
  std::uint32_t crc32 = 0;  // zlib's, as zip, PKZIP and ROM lists give it
  std::string md5;          // lower-case hex, as md5sum prints it
  std::string sha1;
  std::string sha256;
};

Checksums ChecksumsOf(std::span<const std::uint8_t> bytes);

// One line each: "CRC-32        CBF43926".
std::vector<std::string> ChecksumLines(const Checksums& sums);

}  // namespace sorvell::buffers
