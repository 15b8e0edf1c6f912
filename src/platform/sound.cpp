#include "platform/sound.h"

#include "platform/pcmoutput.h"

#include <mutex>

namespace corvane::sound {

namespace {

// Set and cleared by a test's thread, called on the playing one.
struct TestPlayer
{
    std::mutex mutex;
    std::function<void(const QString &)> player;
};

TestPlayer &testPlayer()
{
    static TestPlayer player;
    return player;
}

std::function<void(const QString &)> currentTestPlayer()
{
    TestPlayer &test = testPlayer();
    const std::lock_guard lock(test.mutex);
    return test.player;
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

void playFile(const QString &fileName, const std::atomic<bool> &stop)
{
    if (const auto player = currentTestPlayer()) {
        player(fileName);
        return;
    }
    playPcm(soundForFile(fileName), stop);
}

void playFile(const QString &fileName)
{
    const std::atomic<bool> never{false};
    playFile(fileName, never);
}

void setPlayerForTests(std::function<void(const QString &)> player)
{
    TestPlayer &test = testPlayer();
    const std::lock_guard lock(test.mutex);
    test.player = std::move(player);
}

} // namespace corvane::sound
