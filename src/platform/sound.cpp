#include "platform/sound.h"

#include "platform/pcmoutput.h"

namespace corvane::sound {

namespace {

std::function<void(const QString &)> &testPlayer()
{
    static std::function<void(const QString &)> player;
    return player;
}

} // namespace

PcmSound soundForFile(const QString &fileName)
{
    std::optional<PcmSound> sound = readWavFile(fileName);
    return sound ? *std::move(sound) : defaultSound();
}

const PcmSound &defaultSound()
{
    static const PcmSound sound = readWavFile(QStringLiteral(":/sounds/default.wav")).value_or(PcmSound{});
    return sound;
}

void playFile(const QString &fileName)
{
    if (testPlayer()) {
        testPlayer()(fileName);
        return;
    }
    playPcm(soundForFile(fileName));
}

void setPlayerForTests(std::function<void(const QString &)> player)
{
    testPlayer() = std::move(player);
}

} // namespace corvane::sound
