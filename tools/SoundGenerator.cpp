// Synthesises the program's built-in sounds as 16-bit mono WAV files, so no foreign recording is shipped.
// Usage: tt_sound_generator OUTPUT_DIR   (writes one <name>.wav per sound; the names are the catalogue's)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kHighestPartial = 12000.0;

// A fixed-seed generator: the same build always writes the same bytes.
class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed) {}
    double uniform() { // [0, 1)
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / static_cast<double>(1u << 24);
    }
    double between(double low, double high) { return low + (high - low) * uniform(); }

private:
    std::uint32_t m_state;
};

struct Partial {
    double ratio;     // of the fundamental
    double amplitude; // relative
    double decay;     // seconds to fall by 1/e
};

class Track {
public:
    explicit Track(double seconds) : m_samples(static_cast<std::size_t>(seconds * kRate), 0.0) {}

    // A struck, ringing body (bell, bar, rod): partials that start together and die away on their own.
    void strike(double at, double frequency, const std::vector<Partial>& partials, double gain = 1.0,
                double attack = 0.002) {
        for (const auto& p : partials) {
            const double f = frequency * p.ratio;
            if (f >= kHighestPartial) {
                continue; // above this a partial only adds hiss
            }
            addShaped(at, p.decay * 7.0, [&](double t) {
                const double rise = std::min(1.0, t / attack);
                return gain * p.amplitude * rise * std::exp(-t / p.decay) * std::sin(kTwoPi * f * t);
            });
        }
    }

    // An electronic beep: a steady tone with soft edges; `odd` adds odd harmonics for a square-ish buzz.
    void beep(double at, double seconds, double frequency, int odd = 0, double gain = 1.0) {
        const double edge = 0.006;
        addShaped(at, seconds, [&](double t) {
            const double envelope = std::min({1.0, t / edge, (seconds - t) / edge});
            double v = std::sin(kTwoPi * frequency * t);
            for (int k = 1; k <= odd; ++k) {
                const int n = 2 * k + 1;
                if (frequency * n < kRate / 2.0) {
                    v += std::sin(kTwoPi * frequency * n * t) / n;
                }
            }
            return gain * std::max(0.0, envelope) * v;
        });
    }

    // A bubble in water: a short tone whose pitch rises as it dies away.
    void bubble(double at, double frequency, double gain) {
        const double length = 0.06;
        double phase = 0.0;
        addShaped(at, length, [&](double t) {
            const double f = frequency * (1.0 + 2.5 * t / length);
            phase += kTwoPi * f / kRate;
            return gain * std::min(1.0, t / 0.003) * std::exp(-t / 0.018) * std::sin(phase);
        });
    }

    // Running water: noise through a slowly wandering band-pass, plus a low rumble.
    void stream(Random& random, double gain) {
        double low = 0.0, band = 0.0, rumble = 0.0;
        for (std::size_t i = 0; i < m_samples.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double centre =
                900.0 + 500.0 * std::sin(kTwoPi * 0.7 * t) + 300.0 * std::sin(kTwoPi * 2.3 * t);
            const double f = 2.0 * std::sin(std::numbers::pi * centre / kRate);
            const double noise = random.between(-1.0, 1.0);
            // State-variable filter, band-pass output.
            low += f * band;
            const double high = noise - low - 0.35 * band;
            band += f * high;
            rumble += 0.02 * (noise - rumble);
            const double swell = 0.75 + 0.25 * std::sin(kTwoPi * 0.45 * t);
            m_samples[i] += gain * swell * (0.6 * band + 1.5 * rumble);
        }
    }

    // Scales the loudest sample to `peak`, then softens both ends so nothing clicks.
    void finish(double peak = 0.8) {
        double loudest = 0.0;
        for (double s : m_samples) {
            loudest = std::max(loudest, std::abs(s));
        }
        const double scale = loudest > 0.0 ? peak / loudest : 0.0;
        const std::size_t fadeIn = kRate / 200, fadeOut = kRate / 25;
        for (std::size_t i = 0; i < m_samples.size(); ++i) {
            double g = scale;
            if (i < fadeIn) {
                g *= static_cast<double>(i) / fadeIn;
            }
            const std::size_t fromEnd = m_samples.size() - 1 - i;
            if (fromEnd < fadeOut) {
                g *= static_cast<double>(fromEnd) / fadeOut;
            }
            m_samples[i] *= g;
        }
    }

    bool writeWav(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        const auto u32 = [&](std::uint32_t v) {
            for (int b = 0; b < 4; ++b) {
                out.put(static_cast<char>((v >> (8 * b)) & 0xffu));
            }
        };
        const auto u16 = [&](std::uint16_t v) {
            out.put(static_cast<char>(v & 0xffu));
            out.put(static_cast<char>(v >> 8));
        };
        const auto dataBytes = static_cast<std::uint32_t>(m_samples.size() * 2);
        out.write("RIFF", 4);
        u32(36 + dataBytes);
        out.write("WAVEfmt ", 8);
        u32(16);
        u16(1); // PCM
        u16(1); // mono
        u32(kRate);
        u32(kRate * 2);
        u16(2);
        u16(16);
        out.write("data", 4);
        u32(dataBytes);
        for (double s : m_samples) {
            const double clamped = std::clamp(s, -1.0, 1.0);
            u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clamped * 32767.0))));
        }
        return static_cast<bool>(out);
    }

private:
    template <class Shape> void addShaped(double at, double seconds, Shape shape) {
        const auto first = static_cast<std::size_t>(at * kRate);
        const auto count = static_cast<std::size_t>(seconds * kRate);
        for (std::size_t n = 0; n < count && first + n < m_samples.size(); ++n) {
            m_samples[first + n] += shape(static_cast<double>(n) / kRate);
        }
    }

    std::vector<double> m_samples;
};

// Partial sets of the struck instruments.
const std::vector<Partial> kChurchBell = {{0.5, 0.5, 1.6}, {1.0, 1.0, 1.1}, {1.19, 0.6, 0.9},
                                          {1.5, 0.4, 0.7}, {2.0, 0.5, 0.6}, {2.51, 0.3, 0.4},
                                          {3.01, 0.2, 0.3}};
const std::vector<Partial> kSmallBell = {{1.0, 1.0, 0.45}, {2.76, 0.45, 0.2}, {5.40, 0.25, 0.1}};
const std::vector<Partial> kHandbell = {{1.0, 1.0, 0.7}, {2.0, 0.2, 0.4}, {3.0, 0.35, 0.3}, {4.2, 0.1, 0.15}};
const std::vector<Partial> kTube = {{1.0, 1.0, 1.0}, {2.76, 0.5, 0.55}, {5.40, 0.3, 0.3}, {8.93, 0.15, 0.15}};
const std::vector<Partial> kRod = {{1.0, 1.0, 1.2}, {2.76, 0.35, 0.6}, {5.40, 0.15, 0.3}};
const std::vector<Partial> kWoodBar = {{1.0, 1.0, 0.18}, {3.93, 0.35, 0.05}, {9.4, 0.1, 0.02}};
const std::vector<Partial> kGong = {{1.0, 1.0, 1.0},   {1.005, 0.6, 1.0}, {1.48, 0.7, 0.8}, {2.03, 0.5, 0.6},
                                    {2.66, 0.45, 0.5}, {3.3, 0.3, 0.4},   {4.1, 0.2, 0.3},  {5.2, 0.15, 0.2}};

std::vector<Partial> slower(std::vector<Partial> partials, double factor) {
    for (auto& p : partials) {
        p.decay *= factor;
    }
    return partials;
}

struct Sound {
    const char* name;
    std::function<Track()> make;
};

const std::vector<Sound>& sounds() {
    static const std::vector<Sound> all = {
        {"digital_alarm",
         [] { // three groups of four hard, buzzing beeps, like a clock radio
             Track t(2.3);
             for (int group = 0; group < 3; ++group) {
                 for (int i = 0; i < 4; ++i) {
                     t.beep(group * 0.75 + i * 0.12, 0.07, 2000.0, 3);
                 }
             }
             t.finish();
             return t;
         }},
        {"e_beep",
         [] { // two alternating electronic tones, six in a row
             Track t(1.3);
             for (int i = 0; i < 6; ++i) {
                 t.beep(i * 0.2, 0.15, i % 2 == 0 ? 1200.0 : 900.0, 2);
             }
             t.finish();
             return t;
         }},
        {"happy_beep",
         [] { // a rising major arpeggio of short beeps
             Track t(0.9);
             const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
             for (int i = 0; i < 4; ++i) {
                 t.beep(i * 0.14, i == 3 ? 0.3 : 0.11, notes[i], 1);
             }
             t.finish();
             return t;
         }},
        {"beep1",
         [] {
             Track t(0.4);
             t.beep(0.02, 0.25, 1000.0);
             t.finish();
             return t;
         }},
        {"beep2",
         [] {
             Track t(0.55);
             for (int i = 0; i < 2; ++i) {
                 t.beep(0.02 + i * 0.25, 0.15, 1000.0);
             }
             t.finish();
             return t;
         }},
        {"beep3",
         [] {
             Track t(0.75);
             for (int i = 0; i < 3; ++i) {
                 t.beep(0.02 + i * 0.22, 0.12, 1000.0);
             }
             t.finish();
             return t;
         }},
        {"piron",
         [] { // a short low note, then a higher one that rings
             Track t(1.0);
             t.strike(0.0, 987.8, slower(kSmallBell, 0.3));
             t.strike(0.1, 1318.5, slower(kSmallBell, 1.0));
             t.finish();
             return t;
         }},
        {"bell",
         [] { // one stroke of a large bell with its low hum
             Track t(3.0);
             t.strike(0.0, 523.3, kChurchBell);
             t.finish();
             return t;
         }},
        {"ding",
         [] { // a small bell struck twice, quickly
             Track t(1.5);
             t.strike(0.0, 2093.0, kSmallBell);
             t.strike(0.13, 2093.0, kSmallBell, 0.8);
             t.finish();
             return t;
         }},
        {"gong",
         [] {
             Track t(1.6);
             t.strike(0.0, 110.0, slower(kGong, 0.5), 1.0, 0.015);
             t.finish();
             return t;
         }},
        {"gong_big",
         [] { // a deeper gong that swells and hangs in the air
             Track t(4.0);
             t.strike(0.0, 73.4, slower(kGong, 1.6), 1.0, 0.05);
             t.finish();
             return t;
         }},
        {"chime",
         [] { // ding-dong on tubular chimes
             Track t(2.6);
             t.strike(0.0, 659.3, kTube);
             t.strike(0.55, 523.3, kTube);
             t.finish();
             return t;
         }},
        {"handbells",
         [] { // a descending round of eight hand bells
             Track t(2.8);
             const double notes[] = {1046.5, 987.8, 880.0, 784.0, 698.5, 659.3, 587.3, 523.3};
             for (int i = 0; i < 8; ++i) {
                 t.strike(i * 0.25, notes[i], kHandbell);
             }
             t.finish();
             return t;
         }},
        {"koshi",
         [] { // tuned rods in a cage, touched by a slow swing
             Track t(3.0);
             Random random(7);
             const double notes[] = {1318.5, 1568.0, 1760.0, 1975.5, 2349.3};
             double at = 0.0;
             for (int i = 0; i < 10; ++i) {
                 t.strike(at, notes[static_cast<int>(random.uniform() * 5)], kRod, random.between(0.5, 1.0));
                 at += random.between(0.1, 0.22);
             }
             t.finish();
             return t;
         }},
        {"windchime",
         [] { // high tubes swinging into each other, many overlapping strokes
             Track t(3.5);
             Random random(11);
             const double notes[] = {1568.0, 1760.0, 2093.0, 2349.3, 2637.0};
             double at = 0.0;
             for (int i = 0; i < 14; ++i) {
                 t.strike(at, notes[static_cast<int>(random.uniform() * 5)], slower(kTube, 1.4),
                          random.between(0.3, 1.0));
                 at += random.between(0.05, 0.25);
             }
             t.finish();
             return t;
         }},
        {"xylophone",
         [] { // a C major scale up on wooden bars
             Track t(1.6);
             const double notes[] = {523.3, 587.3, 659.3, 698.5, 784.0, 880.0, 987.8, 1046.5};
             for (int i = 0; i < 8; ++i) {
                 t.strike(i * 0.15, notes[i], kWoodBar);
             }
             t.finish();
             return t;
         }},
        {"water",
         [] { // a brook: running water with bubbles rising through it
             Track t(3.0);
             Random random(3);
             t.stream(random, 0.5);
             double at = 0.05;
             while (at < 2.9) {
                 t.bubble(at, random.between(400.0, 1100.0), random.between(0.2, 0.6));
                 at += random.between(0.04, 0.2);
             }
             t.finish();
             return t;
         }},
    };
    return all;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (const auto& sound : sounds()) {
        const std::string path = dir + "/" + sound.name + ".wav";
        if (!sound.make().writeWav(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
