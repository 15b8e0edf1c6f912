#pragma once

#include <vector>

namespace corvane::ringtones {

inline constexpr int SampleRate = 22050;

// One decaying sine partial of a struck or plucked sound.
struct Partial
{
    double ratio;     // frequency relative to the note
    double amplitude; // at the end of the attack
    double decay;     // exponential decay rate, per second
};

// A mono sound being built, in floating point; samples are summed into it.
class Track
{
public:
    explicit Track(double seconds);

    // Adds a note made of partials, starting at `at` seconds. The attack is a
    // raised cosine so the onset never clicks; partials the sample rate cannot
    // carry are left out rather than folded back as noise.
    void strike(double at, double frequency, const std::vector<Partial> &partials, double attack);

    // Adds a steady tone with raised-cosine attack and release.
    void tone(double at, double length, double frequency, double amplitude, double attack, double release);

    // Scales the loudest sample to `peak` (of full scale) and fades the last
    // `fade` seconds to silence, so the sound ends exactly on zero.
    std::vector<short> finish(double peak, double fade) const;

private:
    std::vector<double> m_samples;
};

} // namespace corvane::ringtones
