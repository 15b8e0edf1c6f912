#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::ringtones {

namespace {

// Rises smoothly from 0 to 1 over `length` seconds.
double raisedCosine(double t, double length)
{
    if (t >= length) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(std::numbers::pi * t / length);
}

} // namespace

Track::Track(double seconds) : m_samples(static_cast<std::size_t>(seconds * SampleRate), 0.0) {}

void Track::strike(double at, double frequency, const std::vector<Partial> &partials, double attack)
{
    const auto first = static_cast<std::size_t>(at * SampleRate);
    for (const Partial &p : partials) {
        const double f = frequency * p.ratio;
        if (f >= SampleRate * 0.45) {
            continue;
        }
        for (std::size_t i = first; i < m_samples.size(); ++i) {
            const double t = static_cast<double>(i - first) / SampleRate;
            const double envelope = raisedCosine(t, attack) * std::exp(-p.decay * t);
            m_samples[i] += p.amplitude * envelope * std::sin(2.0 * std::numbers::pi * f * t);
        }
    }
}

void Track::tone(double at, double length, double frequency, double amplitude, double attack, double release)
{
    const auto first = static_cast<std::size_t>(at * SampleRate);
    const auto count = static_cast<std::size_t>(length * SampleRate);
    for (std::size_t n = 0; n < count && first + n < m_samples.size(); ++n) {
        const double t = static_cast<double>(n) / SampleRate;
        const double envelope = raisedCosine(t, attack) * raisedCosine(length - t, release);
        m_samples[first + n] += amplitude * envelope * std::sin(2.0 * std::numbers::pi * frequency * t);
    }
}

std::vector<short> Track::finish(double peak, double fade) const
{
    double loudest = 0.0;
    for (double s : m_samples) {
        loudest = std::max(loudest, std::abs(s));
    }
    const double gain = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    const double length = static_cast<double>(m_samples.size()) / SampleRate;

    std::vector<short> out(m_samples.size());
    for (std::size_t i = 0; i < m_samples.size(); ++i) {
        const double remaining = length - static_cast<double>(i + 1) / SampleRate;
        const double value = m_samples[i] * gain * raisedCosine(remaining, fade);
        out[i] = static_cast<short>(std::lround(std::clamp(value, -32767.0, 32767.0)));
    }
    return out;
}

} // namespace corvane::ringtones
