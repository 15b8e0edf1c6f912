#include "wavwriter.h"

#include "synth.h"

#include <cstdint>
#include <fstream>

namespace corvane::ringtones {

namespace {

void put16(std::ofstream &out, std::uint16_t v)
{
    const char bytes[] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.write(bytes, 2);
}

void put32(std::ofstream &out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

bool writeWav(const std::string &fileName, const std::vector<short> &samples)
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataSize);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, SampleRate);
    put32(out, SampleRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataSize);
    for (short s : samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }
    return static_cast<bool>(out);
}

} // namespace corvane::ringtones
