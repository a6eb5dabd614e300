#include "web/wav.h"

#include <bit>
#include <cmath>

namespace web {

namespace {

void Put16(std::string* out, uint16_t v) {
  out->push_back(static_cast<char>(v & 0xff));
  out->push_back(static_cast<char>(v >> 8));
}

void Put32(std::string* out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xffff));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

double ReadDouble(const char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(p[i]);
  return std::bit_cast<double>(bits);
}

}  // namespace

int16_t PcmSample(double sample) {
  if (std::isnan(sample)) return 0;
  if (sample > 1) sample = 1;
  if (sample < -1) sample = -1;
  return static_cast<int16_t>(std::lround(sample * 32767.0));
}

bool RawToWav(std::string_view raw, std::string* wav) {
  const uint64_t samples = raw.size() / 8;
  const uint64_t data_bytes = samples * 2;
  if (data_bytes > UINT32_MAX - 36) return false;
  wav->clear();
  wav->reserve(44 + data_bytes);
  wav->append("RIFF");
  Put32(wav, static_cast<uint32_t>(36 + data_bytes));
  wav->append("WAVEfmt ");
  Put32(wav, 16);                // format chunk size
  Put16(wav, 1);                 // PCM
  Put16(wav, 1);                 // mono
  Put32(wav, kSampleRate);
  Put32(wav, kSampleRate * 2);   // bytes per second
  Put16(wav, 2);                 // bytes per frame
  Put16(wav, 16);                // bits per sample
  wav->append("data");
  Put32(wav, static_cast<uint32_t>(data_bytes));
  for (uint64_t i = 0; i < samples; ++i) {
    Put16(wav, static_cast<uint16_t>(PcmSample(ReadDouble(raw.data() + i * 8))));
  }
  return true;
}

}  // namespace web
