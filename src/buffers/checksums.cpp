#include "buffers/checksums.h"

#include <nettle/md5.h>
#include <nettle/sha1.h>
#include <nettle/sha2.h>
#include <zlib.h>

#include <array>
#include <cstdio>
#include <limits>

namespace sorvell::buffers {

namespace {

template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& digest) {
  std::string text;
  char pair[3];
  for (const std::uint8_t byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

std::uint16_t Crc16Ccitt(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t byte : bytes) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

// zlib takes at most an unsigned int of bytes at a time.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (!bytes.empty()) {
    const std::size_t piece = std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max());
    crc = crc32(crc, bytes.data(), static_cast<uInt>(piece));
    bytes = bytes.subspan(piece);
  }
  return static_cast<std::uint32_t>(crc);
}

template <typename Context, std::size_t N>
std::string Digest(std::span<const std::uint8_t> bytes, void (*init)(Context*),
                   void (*update)(Context*, std::size_t, const std::uint8_t*),
                   void (*digest)(Context*, std::size_t, std::uint8_t*)) {
  Context context;
  init(&context);
  update(&context, bytes.size(), bytes.data());
  std::array<std::uint8_t, N> out{};
  digest(&context, out.size(), out.data());
  return Hex(out);
}

}  // namespace

Checksums ChecksumsOf(std::span<const std::uint8_t> bytes) {
  Checksums sums;
  sums.bytes = bytes.size();
  unsigned sum = 0;
  for (const std::uint8_t byte : bytes) sum += byte;
  sums.sum8 = static_cast<std::uint8_t>(sum);
  sums.sum16 = static_cast<std::uint16_t>(sum);
  sums.crc16 = Crc16Ccitt(bytes);
  sums.crc32 = Crc32(bytes);
  sums.md5 = Digest<md5_ctx, MD5_DIGEST_SIZE>(bytes, &nettle_md5_init, &nettle_md5_update,
                                              &nettle_md5_digest);
  sums.sha1 = Digest<sha1_ctx, SHA1_DIGEST_SIZE>(bytes, &nettle_sha1_init, &nettle_sha1_update,
                                                 &nettle_sha1_digest);
  sums.sha256 = Digest<sha256_ctx, SHA256_DIGEST_SIZE>(
      bytes, &nettle_sha256_init, &nettle_sha256_update, &nettle_sha256_digest);
  return sums;
}

std::vector<std::string> ChecksumLines(const Checksums& sums) {
  char text[80];
  std::vector<std::string> lines;
  const auto line = [&](const char* name, const std::string& value) {
    std::snprintf(text, sizeof text, "%-14s", name);
    lines.push_back(text + value);
  };
  const auto hex = [&](unsigned value, int digits) {
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return std::string(text);
  };
  line("8-bit sum", hex(sums.sum8, 2));
  line("16-bit sum", hex(sums.sum16, 4));
  line("CRC-16/CCITT", hex(sums.crc16, 4));
  line("CRC-32", hex(sums.crc32, 8));
  line("MD5", sums.md5);
  line("SHA-1", sums.sha1);
  line("SHA-256", sums.sha256);
  return lines;
}

}  // namespace sorvell::buffers
