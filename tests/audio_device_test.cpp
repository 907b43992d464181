// The sound system on OpenAL Soft's wave writer: what the device mixes goes
// to a WAV file, read back here to see where a sound was heard.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/sound.h"
#include "audio/sound_system.h"
#include "audio/wave_file.h"
#include "common/wav.h"
#include "platform/openal_audio.h"

namespace {

constexpr int kRate = 22050;
constexpr auto kListenTime = std::chrono::milliseconds(400);

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/" + name; }

// Left and right energy of a 16-bit stereo file.
struct Energy {
    double left = 0.0, right = 0.0;
};

Energy ChannelEnergy(const std::string& path) {
    WaveFile file;
    Energy energy;
    if (!file.Open(path) || file.Channels() != 2 || file.BitsPerSample() != 16) return energy;
    std::vector<std::int16_t> samples(file.DataSize() / 2);
    if (samples.empty() || !file.Read(samples.data(), static_cast<std::uint32_t>(samples.size() * 2))) return energy;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        energy.left += double(samples[i]) * samples[i];
        energy.right += double(samples[i + 1]) * samples[i + 1];
    }
    return energy;
}

// A second of a 440 Hz tone; with two channels only the left one sounds.
std::string WriteTone(const std::string& name, int channels) {
    PcmSound tone;
    tone.channels = channels;
    tone.sampleRate = kRate;
    for (int n = 0; n < kRate; ++n) {
        const auto value = static_cast<std::int16_t>(12000 * std::sin(2 * 3.14159265 * 440 * n / kRate));
        tone.samples.push_back(value);
        if (channels == 2) tone.samples.push_back(0);
    }
    const std::string path = TempPath(name);
    WriteWav(path, tone);
    return path;
}

class AudioDeviceTest : public ::testing::Test {
protected:
    // OpenAL Soft reads its configuration once, at its first call: the
    // first test of a process names the file the mix goes to. CTest runs
    // each test in a process of its own, side by side, so the names differ.
    void SetUp() override {
        if (!MixPath().empty()) return;
        MixPath() = TempPath(std::string(info->name()) + "_mix.wav");
        const std::string conf = TempPath(std::string(info->name()) + "_alsoft.conf");
        std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\n"
                               "frequency = 22050\nhrtf = false\n[wave]\nfile = "
                            << MixPath() << "\n";
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);
    }
    static std::string& MixPath() {
        static std::string path;
        return path;
    }
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();

    // Plays `sound` for a moment from `at` to a listener at the origin who
    // looks along +z (so his right is -x) and returns what was heard.
    Energy Listen(const std::string& file, const Vec3& at, float maxDistance = kUnlimitedSoundDistance) {
        std::unique_ptr<AudioDevice> device = platform::OpenAudioDevice();
        if (!device) return {};
        {
            SoundSystem system;
            system.Attach(device.get());
            Sound3D sound;
            EXPECT_TRUE(sound.Load(file, device.get()));
            EXPECT_TRUE(sound.Audible());
            sound.SetMinDistance(50.0f);
            sound.SetMaxDistance(maxDistance);
            sound.SetPosition(at);
            system.SetListenerPosition({0, 0, 0});
            system.SetListenerOrientation({0, 0, 1}, {0, 1, 0});
            system.Commit();
            sound.Play(true, 0);
            std::this_thread::sleep_for(kListenTime);
        }
        device.reset();  // finishes the file
        return ChannelEnergy(MixPath());
    }
};

TEST_F(AudioDeviceTest, ASoundIsHeardOnTheSideItStandsAndNotBeyondItsReach) {
    if (!platform::OpenAudioDevice()) GTEST_SKIP() << "OpenAL Soft has no wave writer here";
    const std::string mono = WriteTone("mono.wav", 1);
    const Energy right = Listen(mono, {-100, 0, 0});
    EXPECT_GT(right.right, 4 * right.left) << right.left << " / " << right.right;
    const Energy left = Listen(mono, {100, 0, 0});
    EXPECT_GT(left.left, 4 * left.right) << left.left << " / " << left.right;

    const Energy near = Listen(mono, {0, 0, 150}, 200.0f);
    EXPECT_GT(near.left + near.right, 1e9);
    const Energy far = Listen(mono, {0, 0, 250}, 200.0f);
    // Silent beyond the maximum distance (OpenAL itself would hold the
    // volume there); the mixer's first gain ramp may leave a few samples.
    EXPECT_LT(far.left + far.right, 1e-5 * (near.left + near.right));
}

TEST_F(AudioDeviceTest, TwoChannelFilesArePlacedLikeOneChannelFiles) {
    if (!platform::OpenAudioDevice()) GTEST_SKIP() << "OpenAL Soft has no wave writer here";
    // The file sounds only on its left channel; placed on the listener's
    // right it must be heard there.
    const Energy heard = Listen(WriteTone("stereo.wav", 2), {-100, 0, 0});
    EXPECT_GT(heard.right, 4 * heard.left) << heard.left << " / " << heard.right;
}

}  // namespace
