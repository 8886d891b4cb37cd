#include "FactorySounds.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace ravlin::factory
{

namespace
{
// Image positions (layer A; layer B is the same plus 512), all of them: not every one has a sound
// that sets it.
constexpr int pitch = 0, fine = 4, level = 8, shape = 12, waveL = 16, waveR = 20, shapeMod = 28, fm = 32, am = 36;
constexpr int slop = 44, glideRate = 48, oscSync = 52, keyOn = 56;
[[maybe_unused]] constexpr int sub = 40, glideMode = 72, glideOn = 73, bendUp = 74, bendDown = 75;
[[maybe_unused]] constexpr int air = 76, girth = 77, hack = 78, decimate = 79, drive = 80;
[[maybe_unused]] constexpr int lpfFreq = 85, lpfRes = 86, lpfKey = 87, lpf4Pole = 88, hpfFreq = 89, hpfRes = 90,
                               hpfKey = 91;
constexpr int panSpread = 92, voiceVolume = 93, feedbackAmount = 94, feedbackTune = 95;
[[maybe_unused]] constexpr int delayTime = 96, delayTimeSync = 100, delayAmount = 104, delayFeedback = 108,
                               delaySync = 112;
[[maybe_unused]] constexpr int delayLp = 116, delayHp = 120, delayFilter = 124, delayPan = 164;
[[maybe_unused]] constexpr int lfoFreq = 128, lfoShape = 136, lfoAmount = 140, lfoDest = 144, lfoSlew = 156;
[[maybe_unused]] constexpr int envBase = 168, env3Dest = 196, env4Dest = 197;
constexpr int modSrc = 206, modAmt = 222, modDest = 238;
[[maybe_unused]] constexpr int distortion = 254, bpm = 256, unisonOn = 257, unisonDetune = 258, unisonMode = 259,
                               unisonKeys = 260;
constexpr int arpMode = 294, arpRange = 295, arpOn = 296, arpLatch = 297, arpDivide = 298, arpRepeats = 299;
constexpr int arpNote = 306, arpVelocity = 338;
constexpr int textFirst = 370, textLast = 423, nameAt = 402, nameLength = 20;
constexpr int splitPoint = 424, abMode = 425, category = 426;

constexpr int envLpf = 0, envVca = 1, env3 = 2, env4 = 3;
[[maybe_unused]] constexpr int envAmount = 0, envVelocity = 1, envDelay = 2, envAttack = 3, envDecay = 4,
                               envSustain = 5, envRelease = 6;

constexpr int bipolarZero = 127;

int envRow (int envelope, int stage)
{
    return envBase + 4 * stage + envelope;
}

class Random
{
public:
    explicit Random (uint32_t seed) : state (seed) {}
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int range (int low, int high) { return low + (int)(next() % (uint32_t)(high - low + 1)); }
    template <typename T, size_t N> const T& pick (const T (&items)[N]) { return items[next() % N]; }

private:
    uint32_t state;
};

class Voice
{
public:
    Voice (const ParameterTable& t, Bytes& i) : table (t), image (i) {}

    void set (int index, int value)
    {
        if (table.highest (index) <= 0)
            throw std::logic_error ("writing a parameter without range");
        image[(size_t)index] = (uint8_t)std::clamp (value, 0, (int)table.highest (index));
    }

    void osc (int n, int shapeNumber, int note, int levelValue, int fineValue = 50)
    {
        set (pitch + n, note);
        set (fine + n, fineValue);
        set (level + n, levelValue);
        set (shape + n, shapeNumber);
        set (keyOn + n, 1);
    }

    void amp (int a, int d, int s, int r) { env (envVca, a, d, s, r); }
    void filterEnv (int amount, int a, int d, int s, int r)
    {
        set (envRow (envLpf, envAmount), bipolarZero + amount);
        env (envLpf, a, d, s, r);
    }
    void env (int e, int a, int d, int s, int r)
    {
        set (envRow (e, envAttack), a);
        set (envRow (e, envDecay), d);
        set (envRow (e, envSustain), s);
        set (envRow (e, envRelease), r);
    }
    void filter (int freq, int res, int key = 64) { set (lpfFreq, freq), set (lpfRes, res), set (lpfKey, key); }
    void delay (int n, int time, int amount, int feedback)
    {
        set (delayTime + n, time), set (delayAmount + n, amount), set (delayFeedback + n, feedback);
    }
    void lfo (int n, int freq, int shapeNumber, int amount, int destination)
    {
        set (lfoFreq + n, freq), set (lfoShape + n, shapeNumber), set (lfoAmount + n, amount),
            set (lfoDest + n, destination);
    }
    void route (int slot, int source, int amount, int destination)
    {
        set (modSrc + slot, source), set (modAmt + slot, bipolarZero + amount), set (modDest + slot, destination);
    }

private:
    const ParameterTable& table;
    Bytes& image;
};

// Value numbers of the instrument's lists.
namespace shapes
{
constexpr int saw = 1, pulse = 2, triangle = 3, sine = 4, tines = 5, mellow = 6, church = 7, muted = 8, nasal = 9,
              boing = 10, gothic = 11, ahhh = 12, shrill = 13, ohhhh = 14, buzzzz = 15, meh = 16, redNoise = 17,
              whiteNoise = 18;
}
namespace dest
{
[[maybe_unused]] constexpr int osc1Freq = 1, oscAllFreq = 5, osc1ShapeMod = 10, oscAllShapeMod = 14, lpfCutoff = 36,
                               vca = 40, pan = 41, delayAllTime = 53;
}
namespace source
{
[[maybe_unused]] constexpr int lfo1 = 5, lfo2 = 6, env3 = 11, modWheel = 14, aftertouch = 19, velocity = 23,
                               random = 25;
}

Bytes initialImage (const ParameterTable& table)
{
    Bytes image ((size_t)sysex::imageSize, 0);
    Voice v (table, image);

    for (int p = textFirst; p <= textLast; ++p)
        image[(size_t)p] = ' ';

    v.osc (0, shapes::saw, 36, 127);
    for (int n = 1; n < 4; ++n)
        v.osc (n, shapes::saw, 36, 0);
    for (int n = 0; n < 4; ++n)
    {
        v.set (shapeMod + n, 64);
        v.set (slop + n, 10);
        v.set (glideRate + n, 40);
    }

    v.set (bendUp, 2);
    v.set (bendDown, 2);
    v.filter (164, 0, 0);
    v.set (hpfFreq, 0);
    v.set (panSpread, 0);
    v.set (voiceVolume, 110);
    v.set (feedbackAmount, bipolarZero);
    v.set (feedbackTune, 24);

    for (int n = 0; n < 4; ++n)
    {
        v.set (delayTime + n, 80);
        v.set (delayLp + n, 127);
        v.set (delayPan + n, 64);
    }

    for (int n = 0; n < 4; ++n)
    {
        v.set (lfoFreq + n, 80);
        v.set (lfoShape + n, 0);
    }

    v.set (envRow (envLpf, envAmount), bipolarZero);
    v.set (envRow (envVca, envAmount), 127);
    v.set (envRow (env3, envAmount), bipolarZero);
    v.set (envRow (env4, envAmount), bipolarZero);
    for (int e = 0; e < 4; ++e)
    {
        v.set (envRow (e, envVelocity), 0);
        v.env (e, 0, 0, 127, 0);
    }

    for (int slot = 0; slot < 16; ++slot)
        v.set (modAmt + slot, bipolarZero);

    v.set (bpm, 120);
    v.set (unisonDetune, 25);
    v.set (unisonKeys, 4);
    v.set (arpDivide, 6);
    for (int step = 0; step < 32; ++step)
        v.set (arpVelocity + step, 100);

    v.set (splitPoint, 60);
    v.set (abMode, 0);
    return image;
}

void copyLayerAToB (Bytes& image)
{
    std::copy (image.begin(), image.begin() + 512, image.begin() + 512);
}

struct Archetype
{
    int categoryNumber;
    const char* const* nouns;
    int numNouns;
    void (*design) (Voice&, Random&);
};

void keys (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::tines, shapes::mellow, shapes::sine, shapes::triangle}), 36, 120);
    v.osc (1, shapes::sine, 48, r.range (30, 70), r.range (48, 52));
    v.filter (r.range (90, 140), r.range (0, 30), 90);
    v.filterEnv (r.range (10, 50), 0, r.range (40, 80), r.range (30, 70), r.range (30, 50));
    v.amp (0, r.range (60, 100), r.range (0, 60), r.range (35, 55));
    v.set (envRow (envVca, envVelocity), r.range (40, 90));
    v.route (0, source::velocity, r.range (10, 40), dest::lpfCutoff);
}

void organ (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::church, shapes::gothic, shapes::sine}), 36, 115);
    v.osc (1, shapes::sine, 48, r.range (60, 110));
    v.osc (2, shapes::sine, 55, r.range (30, 80));
    v.filter (r.range (120, 164), 0, 64);
    v.amp (0, 0, 127, r.range (5, 20));
    v.lfo (0, r.range (90, 120), 0, r.range (5, 20), dest::oscAllFreq);
}

void strings (Voice& v, Random& r)
{
    v.osc (0, shapes::saw, 36, 110, 48);
    v.osc (1, shapes::saw, 36, 110, 53);
    v.osc (2, shapes::pulse, 48, r.range (40, 80));
    v.set (shapeMod + 2, r.range (70, 110));
    v.filter (r.range (80, 120), r.range (0, 25), 70);
    v.filterEnv (r.range (5, 30), r.range (40, 70), 80, 90, 70);
    v.amp (r.range (40, 75), 80, 115, r.range (60, 85));
    v.lfo (0, r.range (60, 90), 0, r.range (10, 30), dest::oscAllShapeMod);
    v.delay (0, r.range (60, 110), r.range (20, 50), r.range (30, 60));
}

void lead (Voice& v, Random& r, int resonance)
{
    v.osc (0, r.pick ({shapes::saw, shapes::pulse, shapes::shrill, shapes::buzzzz}), 48, 120);
    v.osc (1, shapes::saw, 48, r.range (60, 110), r.range (45, 55));
    v.filter (r.range (70, 130), resonance, 80);
    v.filterEnv (r.range (20, 70), 0, r.range (50, 90), r.range (40, 90), 40);
    v.amp (0, 60, 120, r.range (30, 50));
    v.set (glideOn, r.range (0, 1));
    v.set (glideRate, r.range (20, 60));
    v.route (0, source::modWheel, r.range (15, 40), dest::oscAllFreq);
    v.lfo (0, r.range (100, 130), 0, 0, dest::oscAllFreq);
    v.delay (0, r.range (70, 120), r.range (15, 45), r.range (20, 50));
}

void softLead (Voice& v, Random& r)
{
    lead (v, r, r.range (0, 30)), v.set (lpfFreq, r.range (60, 95));
}
void brightLead (Voice& v, Random& r)
{
    lead (v, r, r.range (10, 40)), v.set (drive, r.range (30, 80));
}
void resLead (Voice& v, Random& r)
{
    lead (v, r, r.range (80, 115));
}

void syncLead (Voice& v, Random& r)
{
    lead (v, r, r.range (10, 40));
    v.set (oscSync + 1, 1);
    v.set (pitch + 1, r.range (55, 72));
    v.route (1, source::env3, r.range (30, 80), dest::osc1Freq + 1);
    v.set (envRow (env3, envAmount), bipolarZero);
    v.env (env3, 0, r.range (50, 90), 0, 30);
}

void bass (Voice& v, Random& r, int freq, int resonance)
{
    v.osc (0, r.pick ({shapes::saw, shapes::pulse, shapes::triangle}), 24, 127);
    v.osc (1, shapes::saw, 12, r.range (50, 100), 51);
    v.set (sub, r.range (0, 90));
    v.filter (freq, resonance, 40);
    v.filterEnv (r.range (20, 80), 0, r.range (30, 70), r.range (10, 50), 20);
    v.amp (0, 60, 110, r.range (10, 25));
    v.set (lpf4Pole, 1);
}

void softBass (Voice& v, Random& r)
{
    bass (v, r, r.range (40, 70), r.range (0, 30));
}
void brightBass (Voice& v, Random& r)
{
    bass (v, r, r.range (80, 120), r.range (10, 40)), v.set (hack, r.range (10, 50));
}
void resBass (Voice& v, Random& r)
{
    bass (v, r, r.range (40, 80), r.range (80, 120));
}

void subBass (Voice& v, Random& r)
{
    v.osc (0, shapes::sine, 24, 127);
    v.osc (1, shapes::triangle, 12, r.range (40, 90));
    v.filter (r.range (50, 90), 0, 20);
    v.amp (0, 50, 120, r.range (8, 20));
    v.set (girth, r.range (30, 90));
}

void brass (Voice& v, Random& r)
{
    v.osc (0, shapes::saw, 36, 120, 49);
    v.osc (1, shapes::saw, 36, 120, 51);
    v.osc (2, shapes::saw, 48, r.range (30, 70));
    v.filter (r.range (50, 80), r.range (5, 30), 80);
    v.filterEnv (r.range (40, 80), r.range (15, 35), r.range (50, 70), r.range (60, 90), 40);
    v.amp (r.range (5, 20), 60, 110, r.range (30, 45));
    v.route (0, source::aftertouch, r.range (10, 30), dest::lpfCutoff);
}

void instrument (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::nasal, shapes::muted, shapes::ohhhh, shapes::boing}), 48, 120);
    v.osc (1, shapes::triangle, 36, r.range (20, 60));
    v.filter (r.range (80, 130), r.range (0, 30), 90);
    v.filterEnv (r.range (10, 40), r.range (0, 20), 60, 70, 40);
    v.amp (r.range (0, 25), 70, 100, r.range (30, 50));
    v.lfo (0, r.range (100, 125), 0, r.range (5, 15), dest::oscAllFreq);
    v.route (0, source::modWheel, r.range (10, 30), dest::oscAllFreq);
}

void evolution (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::gothic, shapes::ahhh, shapes::church, shapes::meh}), 36, 110);
    v.osc (1, r.pick ({shapes::mellow, shapes::tines, shapes::nasal}), 48, 90);
    v.set (waveL, r.range (0, 11)), v.set (waveR, r.range (0, 11));
    v.filter (r.range (60, 110), r.range (20, 60), 60);
    v.amp (r.range (70, 110), 100, 110, r.range (80, 110));
    v.lfo (0, r.range (10, 40), 0, r.range (40, 90), dest::oscAllShapeMod);
    v.lfo (1, r.range (5, 25), 1, r.range (20, 50), dest::lpfCutoff);
    v.delay (0, r.range (120, 200), r.range (40, 80), r.range (50, 90));
    v.delay (1, r.range (90, 160), r.range (30, 60), r.range (40, 70));
}

void motion (Voice& v, Random& r)
{
    evolution (v, r);
    v.set (lfoFreq + 2, r.range (60, 110));
    v.set (lfoShape + 2, 7);
    v.set (lfoAmount + 2, r.range (30, 70));
    v.set (lfoDest + 2, dest::pan);
    v.set (panSpread, r.range (60, 127));
}

void synth (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::saw, shapes::pulse}), 36, 115, 48);
    v.osc (1, r.pick ({shapes::saw, shapes::pulse}), 36, 115, 52);
    v.set (shapeMod + 1, r.range (60, 100));
    v.filter (r.range (70, 120), r.range (10, 50), 70);
    v.filterEnv (r.range (20, 60), r.range (0, 40), r.range (50, 90), r.range (40, 90), 50);
    v.amp (r.range (0, 40), 80, 110, r.range (40, 70));
    v.delay (0, r.range (70, 130), r.range (20, 50), r.range (30, 60));
}

void vox (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::ahhh, shapes::ohhhh}), 48, 120);
    v.osc (1, r.pick ({shapes::ahhh, shapes::ohhhh}), 48, 100, 52);
    v.filter (r.range (90, 130), r.range (0, 20), 80);
    v.amp (r.range (40, 70), 90, 110, r.range (60, 80));
    v.lfo (0, r.range (95, 115), 0, r.range (5, 12), dest::oscAllFreq);
    v.route (0, source::modWheel, r.range (20, 50), dest::oscAllShapeMod);
}

void bells (Voice& v, Random& r)
{
    v.osc (0, shapes::sine, 48, 120);
    v.osc (1, shapes::sine, r.pick ({67, 72, 79, 84}), 110);
    v.set (fm, r.range (40, 120));
    v.filter (150, 0, 100);
    v.amp (0, r.range (80, 110), 0, r.range (80, 100));
    v.delay (0, r.range (90, 150), r.range (30, 60), r.range (40, 70));
}

void harmonics (Voice& v, Random& r)
{
    for (int n = 0; n < 4; ++n)
        v.osc (n, shapes::sine, 36 + 12 * n + (n == 3 ? 7 : 0), 120 - 25 * n);
    v.filter (164, 0, 64);
    v.amp (r.range (10, 60), 80, 110, r.range (50, 90));
    v.lfo (0, r.range (20, 60), 0, r.range (20, 60), dest::oscAllShapeMod);
}

void percussion (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::triangle, shapes::sine, shapes::boing}), 36, 127);
    v.osc (1, shapes::whiteNoise, 60, r.range (20, 80));
    v.filter (r.range (80, 140), r.range (10, 60), 60);
    v.filterEnv (r.range (40, 100), 0, r.range (20, 50), 0, 20);
    v.amp (0, r.range (25, 55), 0, r.range (20, 40));
    v.set (envRow (envVca, envVelocity), 90);
}

void noise (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::whiteNoise, shapes::redNoise, shapes::redNoise + 2}), 60, 127);
    v.filter (r.range (60, 140), r.range (30, 100), 30);
    v.amp (r.range (20, 90), 90, 110, r.range (60, 110));
    v.lfo (0, r.range (10, 50), 0, r.range (40, 90), dest::lpfCutoff);
}

void soundFx (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::buzzzz, shapes::shrill, shapes::whiteNoise}), 60, 120);
    v.osc (1, shapes::sine, 72, 80);
    v.set (am + 1, r.range (40, 200));
    v.filter (r.range (60, 140), r.range (40, 110), 40);
    v.amp (r.range (0, 50), 100, 100, r.range (70, 110));
    v.lfo (0, r.range (150, 230), 6, r.range (50, 110), dest::oscAllFreq);
    v.set (envRow (env3, envAmount), bipolarZero + r.range (40, 120));
    v.env (env3, r.range (30, 90), 100, 0, 60);
    v.set (env3Dest, dest::oscAllFreq);
    v.set (decimate, r.range (0, 60));
}

void pads (Voice& v, Random& r)
{
    v.osc (0, r.pick ({shapes::saw, shapes::mellow, shapes::church}), 36, 110, 47);
    v.osc (1, r.pick ({shapes::saw, shapes::tines, shapes::triangle}), 36, 110, 53);
    v.osc (2, shapes::sine, 48, r.range (30, 70));
    v.filter (r.range (60, 100), r.range (10, 40), 50);
    v.filterEnv (r.range (10, 40), r.range (70, 100), 100, 90, 90);
    v.amp (r.range (70, 100), 100, 120, r.range (80, 105));
    v.lfo (0, r.range (20, 50), 0, r.range (10, 30), dest::lpfCutoff);
    v.delay (0, r.range (110, 180), r.range (40, 70), r.range (50, 80));
    v.set (panSpread, r.range (50, 110));
}

void arpAndSequence (Voice& v, Random& r, bool sequence)
{
    synth (v, r);
    v.amp (0, r.range (30, 60), 0, r.range (20, 40));
    v.set (arpOn, 1);
    v.set (arpMode, sequence ? 3 : r.range (0, 4));
    v.set (arpRange, r.range (0, 2));
    v.set (arpDivide, r.pick ({2, 5, 6, 9}));
    v.set (arpRepeats, r.range (0, 1));
    v.set (arpLatch, sequence ? 1 : 0);
    v.set (bpm, r.range (90, 140));
    static const int scale[] = {0, 3, 5, 7, 10, 12, 15, 17};
    for (int step = 0; step < 32; ++step)
    {
        v.set (arpNote + step, scale[r.next() % 8]);
        v.set (arpVelocity + step, r.range (70, 127));
    }
}

void sequence (Voice& v, Random& r)
{
    arpAndSequence (v, r, true);
}
void arpeggio (Voice& v, Random& r)
{
    arpAndSequence (v, r, false);
}

const char* const keyNouns[] = {"Keys", "Piano", "Tines", "EP", "Clav", "Upright", "Rhodesy"};
const char* const organNouns[] = {"Organ", "Drawbar", "Chapel", "Combo", "Pipes", "Manual"};
const char* const stringNouns[] = {"Strings", "Ensemble", "Violins", "Orchestra", "Cellos", "Quartet"};
const char* const leadNouns[] = {"Lead", "Solo", "Line", "Whistle", "Voice", "Melody"};
const char* const syncNouns[] = {"Sync", "Tear", "Sweep", "Rip", "Scream"};
const char* const bassNouns[] = {"Bass", "Low End", "Bottom", "Pulse Bass", "Thump", "Rubber"};
const char* const subNouns[] = {"Sub", "Sub Bass", "Depth", "Floor", "Rumble"};
const char* const brassNouns[] = {"Brass", "Horns", "Section", "Fanfare", "Trumpets"};
const char* const instrumentNouns[] = {"Flute", "Oboe", "Reed", "Harp", "Pluck", "Marimba", "Kalimba"};
const char* const evolutionNouns[] = {"Drift", "Tides", "Bloom", "Morph", "Passage", "Change"};
const char* const motionNouns[] = {"Motion", "Spin", "Orbit", "Pulse", "Swirl", "Flow"};
const char* const synthNouns[] = {"Poly", "Synth", "Stab", "Chord", "Brass Pad", "Saws"};
const char* const voxNouns[] = {"Choir", "Vox", "Voices", "Chant", "Aahs", "Oohs"};
const char* const bellNouns[] = {"Bells", "Chimes", "Glass", "Gong", "Carillon"};
const char* const harmonicNouns[] = {"Harmonics", "Partials", "Overtones", "Drawn"};
const char* const sequenceNouns[] = {"Sequence", "Pattern", "Steps", "Loop", "Run"};
const char* const percussionNouns[] = {"Drum", "Tom", "Hit", "Perc", "Click", "Snap"};
const char* const noiseNouns[] = {"Noise", "Wind", "Surf", "Static", "Breath"};
const char* const fxNouns[] = {"Laser", "Siren", "Alarm", "Zap", "Robot", "Engine"};
const char* const padNouns[] = {"Pad", "Haze", "Clouds", "Warmth", "Glow", "Horizon"};
const char* const arpNouns[] = {"Arp", "Arpeggio", "Cascade", "Ripple", "Spiral"};

template <size_t N> constexpr int count (const char* const (&)[N])
{
    return (int)N;
}

#define RAVLIN_ARCHETYPE(number, nouns, design)                                                                        \
    {                                                                                                                  \
        number, nouns, count (nouns), design                                                                           \
    }
const Archetype archetypes[] = {
    RAVLIN_ARCHETYPE (1, keyNouns, keys),
    RAVLIN_ARCHETYPE (2, organNouns, organ),
    RAVLIN_ARCHETYPE (3, stringNouns, strings),
    RAVLIN_ARCHETYPE (4, leadNouns, softLead),
    RAVLIN_ARCHETYPE (5, leadNouns, brightLead),
    RAVLIN_ARCHETYPE (6, leadNouns, resLead),
    RAVLIN_ARCHETYPE (7, syncNouns, syncLead),
    RAVLIN_ARCHETYPE (8, bassNouns, softBass),
    RAVLIN_ARCHETYPE (9, bassNouns, brightBass),
    RAVLIN_ARCHETYPE (10, bassNouns, resBass),
    RAVLIN_ARCHETYPE (11, subNouns, subBass),
    RAVLIN_ARCHETYPE (12, brassNouns, brass),
    RAVLIN_ARCHETYPE (13, instrumentNouns, instrument),
    RAVLIN_ARCHETYPE (14, evolutionNouns, evolution),
    RAVLIN_ARCHETYPE (15, motionNouns, motion),
    RAVLIN_ARCHETYPE (16, synthNouns, synth),
    RAVLIN_ARCHETYPE (17, voxNouns, vox),
    RAVLIN_ARCHETYPE (18, bellNouns, bells),
    RAVLIN_ARCHETYPE (19, harmonicNouns, harmonics),
    RAVLIN_ARCHETYPE (20, sequenceNouns, sequence),
    RAVLIN_ARCHETYPE (21, percussionNouns, percussion),
    RAVLIN_ARCHETYPE (22, noiseNouns, noise),
    RAVLIN_ARCHETYPE (23, fxNouns, soundFx),
    RAVLIN_ARCHETYPE (24, padNouns, pads),
    RAVLIN_ARCHETYPE (25, arpNouns, arpeggio),
};
#undef RAVLIN_ARCHETYPE

const char* const adjectives[] = {"Warm",   "Dark",   "Bright", "Soft",   "Deep",  "Wide",   "Glassy",  "Dusty",
                                  "Velvet", "Silver", "Amber",  "Hollow", "Fuzzy", "Crisp",  "Lush",    "Cold",
                                  "Golden", "Smoky",  "Neon",   "Misty",  "Iron",  "Paper",  "Polar",   "Solar",
                                  "Lunar",  "Rusty",  "Liquid", "Stormy", "Quiet", "Wild",   "Vintage", "Modern",
                                  "Brass",  "Tiny",   "Giant",  "Broken", "Sweet", "Bitter", "Clear",   "Noble"};

std::string uniqueName (Random& random, const Archetype& type, std::set<std::string>& used)
{
    for (int attempt = 0; attempt < 200; ++attempt)
    {
        auto name = std::string (random.pick (adjectives)) + " " + type.nouns[random.next() % (uint32_t)type.numNouns];
        if (attempt >= 100)
            name = name.substr (0, 13) + " " + std::to_string (attempt - 99);
        if (name.size() <= 16 && used.insert (name).second)
            return name;
    }
    throw std::runtime_error ("ran out of program names");
}

} // namespace

void writeName (Bytes& image, const std::string& name)
{
    for (int i = 0; i < nameLength; ++i)
    {
        const auto c = (uint8_t)(i < (int)name.size() ? name[(size_t)i] : ' ');
        image[(size_t)(nameAt + i)] = c;
        image[(size_t)(nameAt + 512 + i)] = c;
    }
}

Bytes basicProgram (const ParameterTable& table)
{
    auto image = initialImage (table);
    Voice v (table, image);
    v.amp (0, 0, 127, 10);
    copyLayerAToB (image);
    writeName (image, "Basic Program");
    image[category] = 0;
    return image;
}

std::vector<Bytes> factoryPrograms (const ParameterTable& table)
{
    std::vector<Bytes> programs;
    std::set<std::string> used{"Basic Program"};
    Random random (0x50524F31u);
    const int numTypes = (int)(sizeof (archetypes) / sizeof (archetypes[0]));

    for (int n = 0; n < numBanks * programsPerBank; ++n)
    {
        const auto& type = archetypes[(n * 7 + n / numTypes) % numTypes];
        auto image = initialImage (table);
        Voice v (table, image);
        type.design (v, random);

        if (type.categoryNumber == 24 || type.categoryNumber == 3 || random.range (0, 9) == 0)
        {
            v.set (unisonOn, type.categoryNumber == 24 ? 0 : 1);
            v.set (unisonDetune, random.range (10, 40));
            v.set (unisonMode, 1);
        }

        copyLayerAToB (image);
        writeName (image, uniqueName (random, type, used));
        image[category] = (uint8_t)type.categoryNumber;
        programs.push_back (std::move (image));
    }

    return programs;
}

} // namespace ravlin::factory
