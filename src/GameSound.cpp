#include "GameSound.h"

#include <SFML/Audio.hpp>

#include <array>
#include <memory>

#include "GameFiles.h"
#include "platform/SoundDevice.h"

namespace gamesound {

namespace {

constexpr sf::Keyboard::Key muteKey = sf::Keyboard::M;

// Each effect's file, in the order of Effect.
constexpr const char* files[] = {
    gamefiles::shotSound,    gamefiles::enemyShotSound, gamefiles::brainHitSound,
    gamefiles::shipHitSound, gamefiles::powerUpSound,   gamefiles::winSound,
    gamefiles::clickSound,
};
constexpr std::size_t effectCount = std::size(files);

std::size_t indexOf(Effect effect)
{
    return static_cast<std::size_t>(effect);
}

// The buffers and the voice playing each. Made only once a device has
// opened, since the first SFML sound object opens one; gone at the end of
// the process, voices first, and the device with them.
struct Voices {
    std::array<sf::SoundBuffer, effectCount> buffers;
    std::array<sf::Sound, effectCount> sounds;

    void read()
    {
        for (std::size_t n = 0; n < effectCount; ++n)
            if (buffers[n].loadFromFile(files[n]))
                sounds[n].setBuffer(buffers[n]);
    }
    void stopAll()
    {
        for (sf::Sound& sound : sounds)
            sound.stop();
    }
};

// Made the first time it is asked for, in main: it is then gone at the end
// of the process before the sound library's own statics.
std::unique_ptr<Voices>& voices()
{
    static std::unique_ptr<Voices> held;
    return held;
}

bool muted = false;
std::array<bool, effectCount> played{};

} // namespace

platform::Failure enable()
{
    std::unique_ptr<Voices>& held = voices();
    if (held)
        return {};
    if (const platform::Failure none =
            platform::sound::openQuietly([&held] { held = std::make_unique<Voices>(); }))
        return none;
    held->read();
    return {};
}

void play(Effect effect)
{
    const std::unique_ptr<Voices>& held = voices();
    if (!held || muted)
        return;
    sf::Sound& sound = held->sounds[indexOf(effect)];
    if (sound.getBuffer())
        sound.play();
}

void playOnce(Effect effect)
{
    bool& done = played[indexOf(effect)];
    if (!done)
        play(effect);
    done = true;
}

bool follow(const sf::Event& event)
{
    if (event.type != sf::Event::KeyPressed || event.key.code != muteKey)
        return false;
    muted = !muted;
    if (muted && voices())
        voices()->stopAll();
    return true;
}

} // namespace gamesound
