#include "record_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return sorvell::fuzz::FuzzRecords(data, size, sorvell::buffers::RecordFormat::kSRecord);
}
