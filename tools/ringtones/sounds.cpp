#include "sounds.h"

#include "synth.h"

namespace corvane::ringtones {

namespace {

constexpr double Peak = 0.6; // headroom: a ring should be heard, not startle
constexpr double Fade = 0.04;

} // namespace

std::vector<short> telephoneBell()
{
    // A hammer strikes two small bells in turn twenty times a second: the
    // classic bell-telephone trill, in two bursts.
    const std::vector<Partial> bell = {{1.0, 1.0, 9.0}, {2.76, 0.25, 25.0}};
    constexpr double Burst = 0.5;
    constexpr double Strike = 0.05;
    Track track(1.7);
    for (double burstStart : {0.0, 0.75}) {
        for (int n = 0; n * Strike < Burst; ++n) {
            const double frequency = n % 2 == 0 ? 1180.0 : 1480.0;
            track.strike(burstStart + n * Strike, frequency, bell, 0.002);
        }
    }
    return track.finish(Peak, Fade);
}

std::vector<short> marimba()
{
    // Wooden bars: a strong fundamental and the bright fourth partial that
    // fades quickly; C major rising to the octave, then the third above.
    const std::vector<Partial> bar = {{1.0, 1.0, 5.0}, {3.93, 0.35, 22.0}, {9.2, 0.06, 45.0}};
    const double notes[] = {523.25, 659.25, 783.99, 1046.5, 1318.5};
    Track track(2.0);
    for (int i = 0; i < 5; ++i) {
        track.strike(0.16 * i, notes[i], bar, 0.003);
    }
    return track.finish(Peak, Fade * 4);
}

std::vector<short> chime()
{
    // Small metal tubes: inharmonic partials that ring on; an A major triad
    // struck upwards.
    const std::vector<Partial> tube = {
        {1.0, 1.0, 2.2}, {2.0, 0.35, 3.5}, {2.76, 0.3, 5.0}, {5.4, 0.12, 9.0}, {8.93, 0.05, 14.0}};
    const double notes[] = {880.0, 1108.73, 1318.51};
    Track track(2.3);
    for (int i = 0; i < 3; ++i) {
        track.strike(0.2 * i, notes[i], tube, 0.002);
    }
    return track.finish(Peak, Fade * 8);
}

std::vector<short> beep()
{
    Track track(0.3);
    track.tone(0.0, 0.3, 880.0, 1.0, 0.01, 0.06);
    track.tone(0.0, 0.3, 1760.0, 0.15, 0.01, 0.06);
    return track.finish(Peak, Fade);
}

} // namespace corvane::ringtones
