// Writes the program's five event sounds as small 16-bit mono WAV files into the folder given on
// the command line. They are made here, from tones, so nothing is downloaded or shipped.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Tone {
  double hertz;
  double seconds;
};

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::int16_t> Render(const std::vector<Tone>& tones) {
  std::vector<std::int16_t> samples;
  for (const Tone& tone : tones) {
    const int count = static_cast<int>(tone.seconds * kRate);
    for (int i = 0; i < count; ++i) {
      // A short fade at both ends keeps the tones from clicking.
      const double fade = std::min(1.0, std::min(i, count - i) / (0.005 * kRate));
      const double value = tone.hertz > 0 ? std::sin(2 * kPi * tone.hertz * i / kRate) : 0.0;
      samples.push_back(static_cast<std::int16_t>(value * fade * 9000));
    }
  }
  return samples;
}

bool WriteWav(const std::string& path, const std::vector<Tone>& tones) {
  const std::vector<std::int16_t> samples = Render(tones);
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLe(out, 36 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLe(out, dataBytes, 4);
  for (const std::int16_t s : samples) PutLe(out, static_cast<std::uint16_t>(s), 2);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = WriteWav(folder + "/init.wav", {{523, 0.09}, {659, 0.09}, {784, 0.14}}) &&
                  WriteWav(folder + "/error.wav", {{220, 0.18}, {0, 0.05}, {180, 0.30}}) &&
                  WriteWav(folder + "/done.wav", {{880, 0.08}, {1175, 0.10}}) &&
                  WriteWav(folder + "/slide.wav", {{1400, 0.03}}) &&
                  WriteWav(folder + "/ok.wav", {{784, 0.08}, {1047, 0.16}});
  if (!ok) std::fprintf(stderr, "make_sounds: cannot write the sounds into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
