#include "production/serial_numbers.h"

#include <algorithm>
#include <array>
#include <limits>

namespace sorvell::production {

namespace {

struct EncodingWord {
  std::string_view name;
  SerialEncoding encoding;
};

constexpr std::array<EncodingWord, 5> kEncodings = {{
    {"ascii-decimal", SerialEncoding::kAsciiDecimal},
    {"ascii-hex", SerialEncoding::kAsciiHex},
    {"bcd", SerialEncoding::kBcd},
    {"binary-le", SerialEncoding::kBinaryLe},
    {"binary-be", SerialEncoding::kBinaryBe},
}};

// The number's digits in `base`, most significant first, `count` of them with leading zeros;
// empty when it has more.
std::vector<int> Digits(std::uint64_t number, unsigned base, std::size_t count) {
  std::vector<int> digits(count, 0);
  for (std::size_t i = count; i-- > 0;) {
    digits[i] = static_cast<int>(number % base);
    number /= base;
  }
  if (number != 0) return {};
  return digits;
}

SerialBytes TooLarge(std::uint64_t number, int length, SerialEncoding encoding) {
  return {{},
          "serial " + SerialText(number) + " does not fit " + std::to_string(length) + " byte" +
              (length == 1 ? "" : "s") + " as " + std::string(EncodingName(encoding))};
}

}  // namespace

std::optional<SerialEncoding> EncodingNamed(std::string_view name) {
  const auto* found = std::ranges::find(kEncodings, name, &EncodingWord::name);
  if (found == kEncodings.end()) return std::nullopt;
  return found->encoding;
}

std::string_view EncodingName(SerialEncoding encoding) {
  return std::ranges::find(kEncodings, encoding, &EncodingWord::encoding)->name;
}

int MaxLength(SerialEncoding encoding) {
  const bool binary =
      encoding == SerialEncoding::kBinaryLe || encoding == SerialEncoding::kBinaryBe;
  return binary ? 8 : kMaxSerialLength;
}

SerialBytes EncodeSerial(std::uint64_t number, int length, SerialEncoding encoding) {
  if (length < 1 || length > MaxLength(encoding)) {
    return {{},
            "a serial of " + std::to_string(length) + " bytes cannot be " +
                std::string(EncodingName(encoding))};
  }
  const auto count = static_cast<std::size_t>(length);
  std::vector<std::uint8_t> bytes(count);
  std::vector<int> digits;
  switch (encoding) {
    case SerialEncoding::kAsciiDecimal:
    case SerialEncoding::kAsciiHex:
      digits = Digits(number, encoding == SerialEncoding::kAsciiHex ? 16 : 10, count);
      if (digits.empty()) return TooLarge(number, length, encoding);
      for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>("0123456789ABCDEF"[digits[i]]);
      }
      break;
    case SerialEncoding::kBcd:
      digits = Digits(number, 10, 2 * count);
      if (digits.empty()) return TooLarge(number, length, encoding);
      for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(digits[2 * i] << 4 | digits[2 * i + 1]);
      }
      break;
    case SerialEncoding::kBinaryLe:
    case SerialEncoding::kBinaryBe:
      digits = Digits(number, 256, count);
      if (digits.empty()) return TooLarge(number, length, encoding);
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = encoding == SerialEncoding::kBinaryBe ? i : count - 1 - i;
        bytes[at] = static_cast<std::uint8_t>(digits[i]);
      }
      break;
  }
  return {bytes, {}};
}

std::string SerialText(std::uint64_t number) {
  return std::to_string(number);
}

SerialSequence SerialSequence::Counting(std::uint64_t start, std::uint64_t step) {
  SerialSequence sequence;
  sequence.start_ = start;
  sequence.step_ = step;
  return sequence;
}

SerialSequence SerialSequence::Listed(std::vector<std::uint64_t> numbers) {
  SerialSequence sequence;
  sequence.list_ = std::move(numbers);
  sequence.listed_ = true;
  return sequence;
}

std::optional<std::uint64_t> SerialSequence::Current() const {
  if (listed_) {
    if (taken_ >= list_.size()) return std::nullopt;
    return list_[taken_];
  }
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  if (step_ != 0 && taken_ > (kMax - start_) / step_) return std::nullopt;
  return start_ + taken_ * step_;
}

void SerialSequence::Advance() {
  ++taken_;
}

void SerialSequence::Failed(bool reuse) {
  if (!reuse) Advance();
}

}  // namespace sorvell::production
