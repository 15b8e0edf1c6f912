// Writes ringin1.wav, ringin2.wav, ringin3.wav and default.wav into the folder
// given as the only argument (the repository's resources/).
#include "sounds.h"
#include "wavwriter.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    using namespace corvane::ringtones;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + '/';
    const bool ok = writeWav(folder + "ringin1.wav", telephoneBell()) &&
                    writeWav(folder + "ringin2.wav", marimba()) &&
                    writeWav(folder + "ringin3.wav", chime()) && writeWav(folder + "default.wav", beep());
    if (!ok) {
        std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
