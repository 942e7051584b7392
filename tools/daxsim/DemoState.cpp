#include "DemoState.h"

#include "device/Records.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace daxsim {

namespace {

// Writes typed values into the registers of a state, as the instrument keeps them: 16-bit
// registers high byte first, 32-bit values high word first.
class RegisterWriter {
public:
    explicit RegisterWriter(InstrumentState& state) : state_(state) {}

    void Word(uint16_t reg, uint16_t value) { state_.SetRegister(reg, value); }
    void Signed(uint16_t reg, int16_t value) { Word(reg, static_cast<uint16_t>(value)); }
    // One register each from `first`.
    void Words(uint16_t first, std::initializer_list<uint16_t> values)
    {
        for (uint16_t value : values)
            Word(first++, value);
    }
    void SignedWords(uint16_t first, std::initializer_list<int16_t> values)
    {
        for (int16_t value : values)
            Signed(first++, value);
    }
    void U32(uint16_t reg, uint32_t value)
    {
        Word(reg, static_cast<uint16_t>(value >> 16));
        Word(static_cast<uint16_t>(reg + 1), static_cast<uint16_t>(value));
    }
    void I32(uint16_t reg, int32_t value) { U32(reg, static_cast<uint32_t>(value)); }
    void Float(uint16_t reg, float value) { U32(reg, std::bit_cast<uint32_t>(value)); }
    // Values `step` registers apart from `first`.
    void Floats(uint16_t first, uint16_t step, std::initializer_list<float> values)
    {
        for (float value : values) {
            Float(first, value);
            first = static_cast<uint16_t>(first + step);
        }
    }
    void U32s(uint16_t first, uint16_t step, std::initializer_list<uint32_t> values)
    {
        for (uint32_t value : values) {
            U32(first, value);
            first = static_cast<uint16_t>(first + step);
        }
    }
    // An exact counter: the signed 32-bit integer part, then the fraction as a single.
    void Exact(uint16_t reg, double value)
    {
        const double integer = std::trunc(value);
        I32(reg, static_cast<int32_t>(integer));
        Float(static_cast<uint16_t>(reg + 2), static_cast<float>(value - integer));
    }
    void Exacts(uint16_t first, std::initializer_list<double> values)
    {
        for (double value : values) {
            Exact(first, value);
            first = static_cast<uint16_t>(first + 4);
        }
    }
    // A Windows-1251 text of `bytes` bytes, zero-padded; with pairSwap its bytes are stored
    // swapped in pairs, as the instrument keeps its names and numbers.
    void Text(uint16_t first, size_t bytes, std::string_view utf8, bool pairSwap)
    {
        std::string text = platform::Utf8ToCp1251(utf8);
        text.resize(bytes, '\0');
        if (pairSwap)
            for (size_t i = 0; i + 1 < text.size(); i += 2)
                std::swap(text[i], text[i + 1]);
        for (size_t i = 0; i + 1 < text.size(); i += 2)
            Word(static_cast<uint16_t>(first + i / 2),
                 static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 | static_cast<uint8_t>(text[i + 1])));
    }
    // An IPv4 address as the instrument keeps it: the fourth octet first.
    void Ip(uint16_t reg, uint8_t a, uint8_t b, uint8_t c, uint8_t d)
    {
        Word(reg, static_cast<uint16_t>(d << 8 | c));
        Word(static_cast<uint16_t>(reg + 1), static_cast<uint16_t>(b << 8 | a));
    }

private:
    InstrumentState& state_;
};

// The demo plant. Heat system 1 is a heating circuit on the free configuration, its supply on
// channel 1 and its return on channel 2 (Q1 = M1·h1 - M2·h2); heat system 2 a heating circuit
// on channels 3 (supply) and 4 (return) with hot water drawn on channel 5 (scheme "2.5",
// Q2 = M3(h3-h4) + M5(h4-hх)); cold water is metered on channel 6 with its pressure; and
// Q3 = Q1 + Q2. Enthalpies are taken as the temperature in kcal/kg, so a heat flow is
// Gm (t/h) x temperature (°C) / 1000 in Gcal/h. The instrument has worked since the start of
// work (2024-03-15 09:30) up to its clock (2024-06-14 10:25) but for one day without power.
constexpr std::array<double, 6> kMeanFlows = {4.25, 4.20, 2.10, 2.05, 0.40, 1.50};                 // m³/h
constexpr std::array<double, 6> kDensities = {0.9640, 0.9826, 0.9653, 0.9838, 0.9857, 0.9998};    // t/m³
constexpr std::array<double, 5> kMeanTemperatures = {92.50, 61.20, 90.00, 58.30, 55.20};          // °C
constexpr double kColdTemperature = 8.50;                                                        // °C
constexpr std::array<double, 6> kPressuresMpa = {0.60, 0.40, 0.55, 0.35, 0.30, 0.25};
constexpr double kColdPressureMpa = 0.25;
constexpr std::array<double, 6> kPulseWeights = {0.01, 0.01, 0.001, 0.001, 0.001, 0.01};         // m³ (40222..)
constexpr uint32_t kMinutesOn = 131095 - 1440; // from the start of work to the clock, less the day without power
constexpr uint32_t kMinutesWithoutPower = 1440;

// The plant at one moment: flows and temperatures, and the heat flows they make.
struct PlantMoment {
    std::array<double, 6> Gv{};
    std::array<double, 5> Gm{};
    std::array<double, 5> t{};
    double W1 = 0, W2o = 0, W2gvs = 0;
    double W2() const { return W2o + W2gvs; }
    double W3() const { return W1 + W2(); }
};

PlantMoment Plant(const std::array<double, 6>& flows, const std::array<double, 5>& temperatures)
{
    PlantMoment p;
    p.Gv = flows;
    p.t = temperatures;
    for (size_t n = 0; n < 5; ++n)
        p.Gm[n] = p.Gv[n] * kDensities[n];
    p.W1 = (p.Gm[0] * p.t[0] - p.Gm[1] * p.t[1]) / 1000.0;
    p.W2o = p.Gm[2] * (p.t[2] - p.t[3]) / 1000.0;
    p.W2gvs = p.Gm[4] * (p.t[3] - kColdTemperature) / 1000.0;
    return p;
}

// The plant's means: what the counters grow by, hour after hour.
PlantMoment MeanPlant()
{
    return Plant(kMeanFlows, kMeanTemperatures);
}

// The plant `seconds` after the demo started: flows within 1 % and temperatures within 0.15 °C
// of their means, each on a period of its own, moving with the seconds alone (at second 0 the
// plant stands at its means).
PlantMoment PlantAt(uint32_t seconds)
{
    constexpr double kTurn = 6.283185307179586;
    std::array<double, 6> flows = kMeanFlows;
    std::array<double, 5> temperatures = kMeanTemperatures;
    for (size_t n = 0; n < flows.size(); ++n)
        flows[n] *= 1.0 + 0.01 * std::sin(kTurn * seconds / (90.0 + 10.0 * n));
    for (size_t n = 0; n < temperatures.size(); ++n)
        temperatures[n] += 0.15 * std::sin(kTurn * seconds / (240.0 + 30.0 * n));
    return Plant(flows, temperatures);
}

// The counters after `hours` of work at the plant's means.
struct Counters {
    std::array<double, 6> V{};
    std::array<double, 5> M{};
    double Q1 = 0, Q2o = 0, Q2gvs = 0;
    double Q2() const { return Q2o + Q2gvs; }
};

Counters CountersAfter(double hours)
{
    const PlantMoment mean = MeanPlant();
    Counters c;
    for (size_t n = 0; n < 6; ++n)
        c.V[n] = mean.Gv[n] * hours;
    for (size_t n = 0; n < 5; ++n)
        c.M[n] = mean.Gm[n] * hours;
    c.Q1 = mean.W1 * hours;
    c.Q2o = mean.W2o * hours;
    c.Q2gvs = mean.W2gvs * hours;
    return c;
}

int16_t Hundredths(double value)
{
    return static_cast<int16_t>(std::lround(value * 100.0));
}

int16_t TenThousandths(double value)
{
    return static_cast<int16_t>(std::lround(value * 10000.0));
}

// Current values: measuring channels, heat systems, cold water, start of work, identification,
// `seconds` after the demo started.
void WriteCurrentValues(RegisterWriter& w, uint32_t seconds)
{
    const PlantMoment now = PlantAt(seconds);
    const uint32_t minutesOn = kMinutesOn + seconds / 60;
    const Counters c = CountersAfter(kMinutesOn / 60.0 + seconds / 3600.0);

    // Start of work after the last archive clearing, 2024-03-15 09:30:00; no clearing running.
    w.Words(30001, {24, 3, 15, 9, 30, 0, 0});
    // Operating mode "РАБОТА" and the four check sums.
    w.Words(30008, {0, 0x5A3C, 0x1F07, 0xC2E1, 0x7B90});

    // The six channels shared by both heat systems and the cold-water page.
    for (uint16_t n = 0; n < 6; ++n)
        w.Exact(static_cast<uint16_t>(30059 + 4 * n), c.V[n]);                   // V1..V6, m³
    for (uint16_t n = 0; n < 5; ++n)
        w.Exact(static_cast<uint16_t>(30083 + 4 * n), c.M[n]);                   // M1..M5, t
    w.Exact(30103, c.Q1 + c.Q2());                                                // Q3 = Q1 + Q2
    for (uint16_t n = 0; n < 6; ++n)
        w.Float(static_cast<uint16_t>(30107 + 2 * n), static_cast<float>(now.Gv[n])); // Gv1..Gv6, m³/h
    for (uint16_t n = 0; n < 5; ++n)
        w.Float(static_cast<uint16_t>(30119 + 2 * n), static_cast<float>(now.Gm[n])); // Gm1..Gm5, t/h
    w.Float(30129, static_cast<float>(now.W3()));                                 // W3
    for (uint16_t n = 0; n < 5; ++n)
        w.Signed(static_cast<uint16_t>(30131 + n), Hundredths(now.t[n]));          // t1..t5, 0.01 °C
    w.Signed(30136, Hundredths(kColdTemperature));                                // cold water
    for (uint16_t n = 0; n < 6; ++n)
        w.Signed(static_cast<uint16_t>(30137 + n), TenThousandths(kPressuresMpa[n])); // P1..P6, 0.0001 MPa
    w.Signed(30143, TenThousandths(kColdPressureMpa));                            // cold water
    w.U32(30160, minutesOn);                                                      // working time, minutes
    w.U32(30162, kMinutesWithoutPower);                                           // without power
    w.U32s(30164, 2, {0, 0, 0, 0, 0, minutesOn});                                 // cold-water channel times
    w.U32s(30176, 2, {125, 0, 0, 0, 0, 0, 0, 0});                                 // event times
    w.Words(30192, {0, 0, 0, 0, 0, 0});                                           // channel flags
    // Hardware: a low battery (signal 1 reacts to any hardware flag, event 1 to signal 1); the
    // timer of signal D runs on working days from 08:00 to 17:00, signal E while Gv1 lies
    // between 1 and 40 m³/h.
    w.Words(30198, {0x2000, 0x0000, 0x0001, 0x3001});

    // Heat system 1 (its block starts at 30217) and heat system 2 (83 registers higher). The
    // abnormal-situation counters: heat system 1 spent 95 minutes below dt_min and 30 below
    // G_min; both lived through the day without power.
    struct HeatSystemValues {
        double Q, Qo, Qgvs, dM;
        double W, Wo, Wgvs, dGm;
        double dt, dP;
        double Qiz, Qpow, Qf, Qdt, Qmax, Qmin;
        uint32_t Tiz, Tpow, Tf, Tdt, Tmax, Tmin;
    };
    const double perMinute1 = MeanPlant().W1 / 60.0;
    const HeatSystemValues systems[] = {
        {c.Q1, c.Q1, 0, c.M[0] - c.M[1], now.W1, now.W1, 0, now.Gm[0] - now.Gm[1], now.t[0] - now.t[1],
         kPressuresMpa[0] - kPressuresMpa[1], c.Q1 - 125 * perMinute1, 0, 0, 95 * perMinute1, 0, 30 * perMinute1,
         minutesOn - 125, kMinutesWithoutPower, 0, 95, 0, 30},
        {c.Q2(), c.Q2o, c.Q2gvs, c.M[2] - c.M[3], now.W2(), now.W2o, now.W2gvs, now.Gm[2] - now.Gm[3],
         now.t[2] - now.t[3], kPressuresMpa[2] - kPressuresMpa[3], c.Q2(), 0, 0, 0, 0, 0, minutesOn,
         kMinutesWithoutPower, 0, 0, 0, 0},
    };
    for (uint16_t h = 0; h < 2; ++h) {
        const HeatSystemValues& s = systems[h];
        const auto at = [h](uint16_t reg) { return static_cast<uint16_t>(reg + 83 * h); };
        w.Exacts(at(30217), {s.Q, s.Qo, s.Qgvs, s.Qiz, s.Qpow, s.Qf, s.Qdt, s.Qmax, s.Qmin, s.dM});
        w.Floats(at(30257), 2,
                 {static_cast<float>(s.W), static_cast<float>(s.Wo), static_cast<float>(s.Wgvs),
                  static_cast<float>(s.dGm)});
        w.SignedWords(at(30265), {Hundredths(s.dt), TenThousandths(s.dP)});
        w.Word(at(30267), 0);                                                 // flags of the heat system
        w.U32s(at(30268), 2, {minutesOn, 0, s.Tiz, s.Tpow, s.Tf, s.Tdt, s.Tmax, s.Tmin});
    }

    // Measuring channels: pulses, flows, thermometers, pressure sensors, diagnostics. Every
    // channel is in use, so none reads "Отключен".
    for (uint16_t n = 0; n < 6; ++n) {
        w.Float(static_cast<uint16_t>(30383 + 2 * n), static_cast<float>(now.Gv[n] / kPulseWeights[n] / 3600.0)); // Hz
        w.U32(static_cast<uint16_t>(30395 + 2 * n), static_cast<uint32_t>(c.V[n] / kPulseWeights[n]));           // pulses
        w.Float(static_cast<uint16_t>(30407 + 2 * n), static_cast<float>(now.Gv[n]));                              // m³/h
    }
    w.Words(30419, {0, 0, 0, 0, 0, 0});
    for (uint16_t n = 0; n < 5; ++n) {
        // Pt100 thermometers (W100 = 1.391): the resistance in 0.001 Ω and its ADC code.
        const double ohms = 100.0 * (1.0 + 0.00391 * now.t[n]);
        w.Word(static_cast<uint16_t>(30425 + n), static_cast<uint16_t>(std::lround(229.6 * ohms)));
        w.U32(static_cast<uint16_t>(30430 + 2 * n), static_cast<uint32_t>(std::lround(ohms * 1000.0)));
        w.Signed(static_cast<uint16_t>(30440 + n), Hundredths(now.t[n]));
    }
    w.Words(30445, {0, 0, 0, 0, 0});
    for (uint16_t n = 0; n < 6; ++n) {
        // 4-20 mA sensors of 0 to 1.6 MPa: the current in 0.001 mA and its ADC code.
        const double milliamps = 4.0 + 10.0 * kPressuresMpa[n];
        w.Word(static_cast<uint16_t>(30450 + n), static_cast<uint16_t>(std::lround(2600.0 * milliamps - 1200.0)));
        w.Word(static_cast<uint16_t>(30456 + n), static_cast<uint16_t>(std::lround(milliamps * 1000.0)));
        w.Signed(static_cast<uint16_t>(30462 + n), TenThousandths(kPressuresMpa[n]));
    }
    w.Words(30468, {0, 0, 0, 0, 0, 0});
    // ADC cycle counted up with the seconds; ADC temperature code 13000 (13.38 °C); processor
    // temperature code 13760 with reference 1000 (35.00 °C); ADC and processor voltage codes
    // (3.3 V each).
    w.Words(30474, {static_cast<uint16_t>(1234 + seconds), 13000, 13760, 1000, 30807, 21627});
}

// Clock, access, calibration and the configuration of both heat systems.
void WriteSettings(RegisterWriter& w)
{
    w.Words(40001, {24, 6, 14, 10, 25, 0});          // 2024-06-14 10:25:00
    w.Words(40007, {2, 5, 0, 0});                    // correction +2 s/day, 5 min allowed, no auto change; no clearing
    w.Text(40011, 8, "1234", true);                  // password, and the same again
    w.Text(40015, 8, "1234", true);
    w.Words(40019, {1, 0});                          // password used, settings not locked

    w.U32(40037, 12345);                             // serial number
    w.U32(40039, 1000123);                           // AT_100
    w.I32(40041, -1520);                             // BT_100
    w.U32(40043, 999870);                            // AT_500
    w.I32(40045, 830);                               // BT_500
    for (uint16_t k = 0; k < 6; ++k) {               // AP_k, BP_k
        w.Word(static_cast<uint16_t>(40047 + 2 * k), static_cast<uint16_t>(16384 + 37 * k));
        w.Signed(static_cast<uint16_t>(40048 + 2 * k), static_cast<int16_t>(-12 + 5 * k));
    }
    w.Words(40070, {0x0001, 1000});                  // 100 Ω sensors; ADC_HS_A
    w.SignedWords(40072, {-3, 12, -5});              // ADC_HS_B, thermal corrections
    w.Word(40078, 40 | 1u << 8 | 3u << 10);          // LCD: contrast 40, MULT3, TC3

    // Heat system 1: free configuration "5.9" with one supply pipe and one return; no air or
    // control channel (t5 measures heat system 2's hot water).
    w.Words(40079, {0x59, 5, 5, 0});
    w.Signed(40083, 300);                            // dt_min 3.00
    w.Signed(40084, 500);                            // dP_min 0.05 MPa
    w.Float(40085, 2.5f);                            // W_дог
    w.Float(40087, 1.02f);                           // Кпр
    w.Words(40097, {0, 0, 0, 1, 1, 1, 0, 1, 0});     // channel reactions
    w.Words(40109, {1, 0, 1, 1, 0, 1, 1, 1, 1});     // heat-system reactions
    w.Words(40126, {1, 1, 0});                       // supply, return, make-up pipes

    // Heat system 2: scheme "2.5" (with hot water), no air or control channel.
    w.Words(40129, {0x25, 5, 5, 1});
    w.Signed(40133, 200);
    w.Signed(40134, 300);
    w.Float(40135, 1.2f);
    w.Float(40137, 1.02f);
    w.Words(40147, {0, 0, 0, 1, 1, 1, 0, 1, 0});
    w.Words(40159, {1, 0, 1, 1, 0, 1, 1, 1, 1});
}

// Common settings, cold water, flow, temperature and pressure channels, inputs and output.
void WriteChannels(RegisterWriter& w)
{
    // Q3 = Q1 + Q2, Gcal, MPa, month record on the 1st, contract cold-water values.
    w.Words(40179, {2, 0, 0, 1, 0});
    w.SignedWords(40184, {500, 1500, 1000, 1000, 800});
    w.Words(40189, {0, 1, 4, 15, 10, 15});           // winter, change by date; 15 April, 15 October

    w.Words(40203, {0, 0, 0, 0, 0, 2});              // cold water on channel 6 with pressure
    w.Words(40209, {0, 0, 1, 1, 1});                 // its reactions

    w.Words(40216, {50, 50, 32, 32, 25, 40});        // nominal diameters
    w.Floats(40222, 2, {0.01f, 0.01f, 0.001f, 0.001f, 0.001f, 0.01f});    // pulse weights
    w.Floats(40234, 2, {4.5f, 4.5f, 0.75f, 0.75f, 0.125f, 1.5f});        // contract flows
    w.Floats(40246, 2, {36.0f, 36.0f, 10.0f, 10.0f, 5.0f, 20.0f});       // maximum flows
    w.Floats(40258, 2, {0.36f, 0.36f, 0.1f, 0.1f, 0.05f, 0.2f});         // minimum flows
    w.Floats(40270, 2, {0.12f, 0.12f, 0.04f, 0.04f, 0.02f, 0.08f});      // cut-off flows
    w.Words(40282, {0, 0, 0, 0, 0, 0});              // input modes
    w.Words(40288, {1, 1, 1, 1, 1, 1});              // converter line test
    w.Words(40294, {0, 0, 0, 0, 0, 0});              // no empty-pipe test
    w.Words(40300, {0x0003, 2});                     // filter on V1 and V2, averaging 2
    w.Float(40302, 1.5f);                            // filter reset coefficient

    w.Words(40304, {0, 0, 0, 0, 1});                 // sensor curves
    w.SignedWords(40309, {7000, 4000, 7000, 4000, 500});              // t_дог
    w.SignedWords(40314, {15000, 15000, 15000, 15000, 15000});         // t_max
    w.SignedWords(40319, {0, 0, 0, 0, 0});                             // t_min
    w.Words(40324, {1, 1, 1, 1, 1, 0});                                // pressure sensor ranges
    w.SignedWords(40330, {6000, 4000, 4500, 3500, 3000, 2500});        // P_дог

    // Input IN: dry contact, not inverted, 100 ms; inputs UV not inverted.
    w.Words(40336, {0, 0, 100, 0});
    // Output OUT: register off, signal mask mode, 60 s on battery, signal 1.
    w.Words(40344, {0, 1, 60, 0x0001});
}

// Display, ports, object name, SMS, calls, GPRS, signals and events.
void WriteInterfaces(RegisterWriter& w)
{
    w.Words(40356, {30, 0, 300, 0, 120, 1});         // backlight, LCD, screen saver, counters
    w.Words(40365, {4, 1, 0, 0});                    // port 1: 19200, address 1, RS-232
    w.Words(40369, {4, 1, 0, 0});                    // port 2: 19200, address 1, RS-232/RS-485
    w.Text(40377, 16, "Котельная 3", true);
    w.Text(40385, 16, "+79001234567", true);
    w.Words(40393, {60, 0x0001});                    // SMS every hour on signal 1
    w.Words(40399, {1, 1, 2, 0});                    // answer always, GPRS on call, after 2 rings

    w.Text(40407, 22, "internet.mts.ru", true);
    w.Text(40418, 10, "*99#", true);
    w.Text(40423, 8, "mts", true);
    w.Text(40427, 8, "mts", true);
    w.Words(40431, {2, 1, 0});                       // TCP client, server only, GPRS wrapper
    w.Ip(40438, 192, 168, 1, 10);
    w.Ip(40440, 10, 0, 0, 1);
    w.Ip(40442, 10, 0, 0, 2);
    w.Ip(40444, 0, 0, 0, 0);
    w.Words(40446, {5100, 4001, 30, 3});             // ports, UDP interval and attempts
    w.Words(40454, {1, 60, 0});                      // poll always, every 60 s

    // Mask signals 1 to 4: any hardware flag, heat system 1 "Q1 < 0", heat system 2
    // "Q2 < 0", any flag of channel 1; 5 to 8 off.
    const uint16_t masks[4][3] = {{1, 0, 0x3FFF}, {1, 8, 0x0001}, {1, 9, 0x0001}, {1, 2, 0x00FF}};
    for (uint16_t k = 0; k < 4; ++k)
        w.Words(static_cast<uint16_t>(40461 + 3 * k), {masks[k][0], masks[k][1], masks[k][2]});
    // Signal 9: comparison t1 > 95.
    w.Words(40485, {1, 0, 0, 0, 1, 20});
    w.Float(40491, 95.0f);
    // Signal D: a timer on working days (Monday to Friday) from 08:00 to 17:00.
    w.Words(40517, {2, 0, 0, 0, 0, 0, 0});
    w.Words(40528, {1});
    w.U32(40529, 0x3E);
    w.Words(40531, {480, 1020});
    // Signal E: comparison Gv1 between 1 and 40.
    w.Words(40533, {1, 0, 0, 0, 5, 14, 0});
    w.Float(40540, 1.0f);
    w.Float(40542, 40.0f);
    // Event 1 on signal 1.
    w.Words(40581, {1, 0x0001});
}

// ---------------------------------------------------------------------------------------
// Archive and journal records: what the demo instrument counted and logged lately.

using dax_namespace::ArchiveStruct;
using dax_namespace::HeatEnergy;
using dax_namespace::HeatTime;
using dax_namespace::JournalStruct;
using dax_namespace::TotalArchiveStruct;

// The instrument's clock stands at 14 June 2024, 10:25 (holding registers 40001..40006): the
// archives end with the hour 09:00 to 10:00, the day before and the month before.
constexpr std::chrono::sys_days kToday = std::chrono::year{2024} / std::chrono::June / 14;
constexpr std::chrono::sys_seconds kThisHour{kToday + std::chrono::hours{10}};
// Work began on 15 March 2024 at 09:30; the day records start with the first whole day.
constexpr std::chrono::sys_days kStartDay = std::chrono::year{2024} / std::chrono::March / 15;
constexpr uint16_t kMinutesOnStartDay = 14 * 60 + 30;
// The day without power: its day record is a skipped (all-zero) record.
constexpr std::chrono::sys_days kDayWithoutPower = std::chrono::year{2024} / std::chrono::April / 15;
// The hour archive holds every hour from here to the clock.
constexpr std::chrono::sys_days kFirstHourDay = std::chrono::year{2024} / std::chrono::May / 1;
constexpr std::chrono::sys_seconds kBadHour{std::chrono::sys_days{std::chrono::year{2024} / std::chrono::May / 20} +
                                            std::chrono::hours{13}};

// A moment as the records keep it: year from 2000, month, day, hour, minute, second.
std::array<uint8_t, 6> Stamp(std::chrono::sys_seconds moment)
{
    using namespace std::chrono;
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{moment - day};
    return {static_cast<uint8_t>(static_cast<int>(date.year()) - 2000), static_cast<uint8_t>(unsigned{date.month()}),
            static_cast<uint8_t>(unsigned{date.day()}), static_cast<uint8_t>(time.hours().count()),
            static_cast<uint8_t>(time.minutes().count()), static_cast<uint8_t>(time.seconds().count())};
}

// The date bytes (and, for the hour archive, the hour) of an archive record.
template <typename Record>
void PutDate(Record& record, std::chrono::sys_seconds moment, size_t dateBytes)
{
    const auto stamp = Stamp(moment);
    std::copy_n(stamp.begin(), dateBytes, record.bytes.begin());
}

// The positions of a ring from its oldest record to its newest.
std::vector<uint16_t> ReadingOrder(const RecordRing& ring)
{
    std::vector<uint16_t> positions;
    for (uint16_t p = ring.First; p != ring.Next; p = p == ring.Highest ? 0 : static_cast<uint16_t>(p + 1))
        positions.push_back(p);
    return positions;
}

// A ring of `highest` + 1 empty slots holding `count` records from position `first` on.
RecordRing HistoryRing(uint8_t type, uint16_t highest, uint16_t first, size_t count)
{
    RecordRing ring;
    ring.Highest = highest;
    ring.First = first;
    ring.Next = static_cast<uint16_t>((first + count) % (size_t{highest} + 1));
    ring.Slots.assign(size_t{highest} + 1, std::vector<uint8_t>(RecordSize(type), 0xFF));
    return ring;
}

template <typename Record>
std::vector<uint8_t> Bytes(const Record& record)
{
    return {record.bytes.begin(), record.bytes.end()};
}

// Stores the records into the ring in reading order.
template <typename Record>
void FillRing(RecordRing& ring, const std::vector<Record>& records)
{
    const auto positions = ReadingOrder(ring);
    for (size_t i = 0; i < positions.size() && i < records.size(); ++i)
        ring.Slots[positions[i]] = Bytes(records[i]);
}

// A counter as the demo's records keep it: a multiple of 1/8, so that sums of a few thousand
// of them are exact in single precision.
float Eighths(double value)
{
    return static_cast<float>(std::round(value * 8.0) / 8.0);
}

// The counts of an interval of `hours` at the plant's means, varied by `wobble` (-2..2 % steps
// that average out), temperatures and pressures as the records keep them (0.01 °C, 0.0001 MPa).
void PutPeriod(ArchiveStruct& r, double hours, int wobble)
{
    const PlantMoment mean = MeanPlant();
    const double f = hours * (1.0 + 0.02 * static_cast<double>(wobble % 5 - 2));
    const auto minutes = static_cast<uint16_t>(std::lround(hours * 60));
    for (size_t c = 1; c <= 6; ++c)
        r.WriteF32(ArchiveStruct::VolumeOffset(c), Eighths(mean.Gv[c - 1] * f));
    for (size_t c = 1; c <= 5; ++c)
        r.WriteF32(ArchiveStruct::MassOffset(c), Eighths(mean.Gm[c - 1] * f));
    const float q1 = Eighths(mean.W1 * f);
    const float q2o = Eighths(mean.W2o * f);
    const float q2gvs = Eighths(mean.W2gvs * f);
    r.WriteF32(ArchiveStruct::kQ3, q1 + q2o + q2gvs);
    for (size_t c = 1; c <= 5; ++c)
        r.WriteI16(ArchiveStruct::TemperatureOffset(c),
                   static_cast<int16_t>(Hundredths(kMeanTemperatures[c - 1]) - 15 * (wobble % 4)));
    r.WriteI16(ArchiveStruct::kColdTemperature, Hundredths(kColdTemperature));
    for (size_t c = 1; c <= 6; ++c)
        r.WriteI16(ArchiveStruct::PressureOffset(c), TenThousandths(kPressuresMpa[c - 1]));
    r.WriteI16(ArchiveStruct::kColdPressure, TenThousandths(kColdPressureMpa));
    r.WriteU16(ArchiveStruct::kWorkTime, minutes);
    r.WriteU16(ArchiveStruct::ColdWaterTimeOffset(6), minutes);
    r.WriteF32(ArchiveStruct::HeatEnergyOffset(1, HeatEnergy::Q), q1);
    r.WriteU16(ArchiveStruct::HeatTimeOffset(1, HeatTime::Work), minutes);
    r.WriteF32(ArchiveStruct::HeatEnergyOffset(2, HeatEnergy::Q), q2o + q2gvs);
    r.WriteF32(ArchiveStruct::HeatEnergyOffset(2, HeatEnergy::Qo), q2o);
    r.WriteF32(ArchiveStruct::HeatEnergyOffset(2, HeatEnergy::Qgvs), q2gvs);
    r.WriteU16(ArchiveStruct::HeatTimeOffset(2, HeatTime::Work), minutes);
}

// The abnormal situations of one day, as its day record and each of its hours carry them.
struct DayFlags {
    std::array<uint8_t, 6> Channels{};
    uint16_t Hardware = 0;
    uint16_t Mode = 0;
    uint16_t HeatSystem1 = 0;
    uint16_t HeatSystem2 = 0;
};

// May: summer values from the 1st on; a restart on the 3rd, a clock correction on the 7th,
// flow below cut-off on channel 1 (the 12th), a temperature sensor fault on channel 2 (the
// 20th), a small temperature difference and an unnamed bit in heat system 1 (the 18th), no
// power in heat system 2 (the 25th).
DayFlags FlagsOf(std::chrono::sys_days day)
{
    using namespace std::chrono;
    DayFlags flags;
    const year_month_day date{day};
    if (date.year() != year{2024} || date.month() != May)
        return flags;
    flags.Mode = 0x1000;
    switch (unsigned{date.day()}) {
    case 3:
        flags.Hardware = 0x1800;
        break;
    case 7:
        flags.Mode |= 0x0800;
        break;
    case 12:
        flags.Channels[0] = 0x04;
        break;
    case 18:
        flags.HeatSystem1 = 0x0208;
        break;
    case 20:
        flags.Channels[1] = 0x20;
        break;
    case 25:
        flags.HeatSystem2 = 0x1000;
        break;
    default:
        break;
    }
    return flags;
}

void PutFlags(ArchiveStruct& r, const DayFlags& flags)
{
    for (size_t c = 1; c <= 6; ++c)
        r.WriteU8(ArchiveStruct::ChannelFlagsOffset(c), flags.Channels[c - 1]);
    r.WriteU16(ArchiveStruct::kHardwareFlags, flags.Hardware);
    r.WriteU16(ArchiveStruct::kModeFlags, flags.Mode);
    r.WriteU16(ArchiveStruct::HeatSystemFlagsOffset(1), flags.HeatSystem1);
    r.WriteU16(ArchiveStruct::HeatSystemFlagsOffset(2), flags.HeatSystem2);
}

// Adds the counters of a period record to running totals: volumes, masses, Q3 and the heat
// energies as floats, each minute count into its 32-bit total.
void AddToTotals(TotalArchiveStruct& t, const ArchiveStruct& r)
{
    for (size_t offset = ArchiveStruct::kVolume; offset < ArchiveStruct::kTemperature; offset += 4)
        t.WriteF32(offset, t.ReadF32(offset) + r.ReadF32(offset));
    for (size_t i = 0; i < 16; ++i)
        t.WriteU32(TotalArchiveStruct::kWorkTime + 4 * i,
                   t.ReadU32(TotalArchiveStruct::kWorkTime + 4 * i) + r.ReadU16(ArchiveStruct::kWorkTime + 2 * i));
    for (size_t system = 1; system <= 2; ++system) {
        for (size_t i = 0; i < 9; ++i) {
            const size_t to = TotalArchiveStruct::HeatSystemOffset(system) + 4 * i;
            t.WriteF32(to, t.ReadF32(to) + r.ReadF32(ArchiveStruct::HeatSystemOffset(system) + 4 * i));
        }
        for (size_t i = 0; i < 8; ++i) {
            const size_t to = TotalArchiveStruct::HeatSystemOffset(system) + TotalArchiveStruct::kBlockTime + 4 * i;
            t.WriteU32(to, t.ReadU32(to) +
                               r.ReadU16(ArchiveStruct::HeatSystemOffset(system) + ArchiveStruct::kBlockTime + 2 * i));
        }
    }
}

// A period record's counters over a month: the sums of its day records.
void AddCounts(ArchiveStruct& month, const ArchiveStruct& day)
{
    for (size_t offset = ArchiveStruct::kVolume; offset < ArchiveStruct::kTemperature; offset += 4)
        month.WriteF32(offset, month.ReadF32(offset) + day.ReadF32(offset));
    for (size_t system = 1; system <= 2; ++system)
        for (size_t i = 0; i < 9; ++i) {
            const size_t offset = ArchiveStruct::HeatSystemOffset(system) + 4 * i;
            month.WriteF32(offset, month.ReadF32(offset) + day.ReadF32(offset));
        }
}

struct History {
    std::vector<ArchiveStruct> Hours, Days, Months;
    std::vector<TotalArchiveStruct> TotalDays, TotalMonths;
};

// The archives from the start of work to the clock.
History MakeHistory()
{
    using namespace std::chrono;
    History h;
    // 15 March from 09:30 counts into the totals and the March month, without a day record.
    ArchiveStruct startDay;
    PutPeriod(startDay, kMinutesOnStartDay / 60.0, 2);
    TotalArchiveStruct totals;
    AddToTotals(totals, startDay);
    ArchiveStruct month;
    PutPeriod(month, 0, 2); // temperatures and pressures; counters summed below
    for (size_t offset = ArchiveStruct::kVolume; offset < ArchiveStruct::kTemperature; offset += 4)
        month.WriteF32(offset, 0);
    AddCounts(month, startDay);
    uint32_t monthMinutes = kMinutesOnStartDay;
    int index = 0;
    for (sys_days day = kStartDay + days{1}; day < kToday; day += days{1}, ++index) {
        ArchiveStruct r;
        if (day == kDayWithoutPower) {
            totals.WriteU32(TotalArchiveStruct::kOffPowerTime, totals.ReadU32(TotalArchiveStruct::kOffPowerTime) + 1440);
        } else {
            PutDate(r, sys_seconds{day}, 3);
            PutPeriod(r, 24, index);
            PutFlags(r, FlagsOf(day));
            r.StoreCheckWord();
            AddToTotals(totals, r);
            AddCounts(month, r);
            monthMinutes += 1440;
        }
        h.Days.push_back(r);
        TotalArchiveStruct total = totals;
        PutDate(total, sys_seconds{day}, 3);
        total.StoreCheckWord();
        h.TotalDays.push_back(total);
        // The last day of a month closes its month record and its total month record.
        const year_month_day date{day};
        if (year_month_day{day + days{1}}.month() != date.month()) {
            const sys_days first{date.year() / date.month() / 1};
            PutDate(month, sys_seconds{first}, 3);
            for (size_t offset : {ArchiveStruct::kWorkTime, ArchiveStruct::ColdWaterTimeOffset(6),
                                  ArchiveStruct::HeatTimeOffset(1, HeatTime::Work),
                                  ArchiveStruct::HeatTimeOffset(2, HeatTime::Work)})
                month.WriteU16(offset, static_cast<uint16_t>(std::min<uint32_t>(monthMinutes, 0xFFFF)));
            month.StoreCheckWord();
            h.Months.push_back(month);
            TotalArchiveStruct totalMonth = totals;
            PutDate(totalMonth, sys_seconds{first}, 3);
            totalMonth.StoreCheckWord();
            h.TotalMonths.push_back(totalMonth);
            for (size_t offset = ArchiveStruct::kVolume; offset < ArchiveStruct::kTemperature; offset += 4)
                month.WriteF32(offset, 0);
            for (size_t system = 1; system <= 2; ++system)
                for (size_t i = 0; i < 9; ++i)
                    month.WriteF32(ArchiveStruct::HeatSystemOffset(system) + 4 * i, 0);
            monthMinutes = 0;
        }
    }
    // Every hour from 1 May on, dated by the hour it begins, carrying its day's flags.
    index = 0;
    for (sys_seconds hour{kFirstHourDay}; hour < kThisHour; hour += hours{1}, ++index) {
        ArchiveStruct r;
        PutDate(r, hour, 4);
        PutPeriod(r, 1, index);
        PutFlags(r, FlagsOf(floor<days>(hour)));
        r.StoreCheckWord();
        if (hour == kBadHour)
            r.bytes[dax_namespace::kArchiveCheckWordOffset] ^= 0xFF;
        h.Hours.push_back(r);
    }
    return h;
}

void WriteArchives(InstrumentState& state)
{
    const History history = MakeHistory();
    // Rings as large as an instrument's; the hour ring has wrapped.
    state.Rings[0] = HistoryRing(0, 1199, 1000, history.Hours.size());
    state.Rings[1] = HistoryRing(1, 127, 0, history.Days.size());
    state.Rings[2] = HistoryRing(2, 23, 0, history.Months.size());
    state.Rings[3] = HistoryRing(3, 127, 0, history.TotalDays.size());
    state.Rings[4] = HistoryRing(4, 23, 0, history.TotalMonths.size());
    FillRing(state.Rings[0], history.Hours);
    FillRing(state.Rings[1], history.Days);
    FillRing(state.Rings[2], history.Months);
    FillRing(state.Rings[3], history.TotalDays);
    FillRing(state.Rings[4], history.TotalMonths);
}

// A journal stamp: the date and time of day.
JournalStruct Entry(std::chrono::sys_days day, int hour, int minute, int second)
{
    using namespace std::chrono;
    JournalStruct r;
    const auto stamp = Stamp(sys_seconds{day} + hours{hour} + minutes{minute} + seconds{second});
    std::copy(stamp.begin(), stamp.end(), r.bytes.begin());
    return r;
}

void WriteJournals(InstrumentState& state)
{
    using namespace std::chrono;
    // Abnormal situations set and cleared again, one flag per entry: the journal's group code
    // (0..4 channels 1..5, 6 and 7 heat systems, 8 hardware, 9 mode flags) and the flag.
    struct Situation {
        sys_days Day;
        int SetHour, SetMinute, ClearHour, ClearMinute;
        uint16_t Group;
        uint32_t Flag;
    };
    const Situation situations[] = {
        {year{2024} / April / 2, 8, 15, 11, 40, 6, 0x0008},
        {year{2024} / April / 16, 0, 0, 0, 1, 8, 0x1000},
        {year{2024} / April / 30, 23, 50, 23, 55, 9, 0x0800},
        {year{2024} / May / 3, 4, 12, 4, 13, 8, 0x0800},
        {year{2024} / May / 7, 6, 0, 6, 1, 9, 0x0800},
        {year{2024} / May / 12, 10, 5, 13, 20, 0, 0x04},
        {year{2024} / May / 18, 14, 30, 17, 45, 6, 0x0008},
        {year{2024} / May / 20, 9, 10, 12, 0, 1, 0x20},
        {year{2024} / May / 25, 2, 0, 5, 30, 7, 0x1000},
        {year{2024} / June / 5, 16, 0, 16, 20, 2, 0x01},
    };
    std::vector<JournalStruct> notStaff;
    for (const Situation& s : situations) {
        for (const bool set : {true, false}) {
            JournalStruct r = set ? Entry(s.Day, s.SetHour, s.SetMinute, 0) : Entry(s.Day, s.ClearHour, s.ClearMinute, 0);
            r.WriteU16(JournalStruct::kCode, s.Group);
            r.WriteU32(JournalStruct::kOldValue, set ? 0 : s.Flag);
            r.WriteU32(JournalStruct::kNewValue, set ? s.Flag : 0);
            notStaff.push_back(r);
        }
    }
    // Settings changed by the operator: when, parameter id, value type, old and new value.
    struct Change {
        sys_days Day;
        int Hour, Minute;
        uint16_t Id;
        uint8_t Type;
        uint32_t Old, New;
    };
    const Change changes[] = {
        {year{2024} / March / 15, 9, 35, 64, 1, 0, 1},                                    // password in use
        {year{2024} / April / 2, 14, 20, 67, 4, 10, 20},                                  // flow filter averaging
        {year{2024} / April / 30, 16, 0, 3, 2, 0, 1},                                     // season
        {year{2024} / May / 6, 10, 30, 129, 2, 5, 3},                                     // ТС1.Канал tвозд
        {year{2024} / May / 6, 10, 31, 132, 11, 300, 200},                                // ТС1.dt_min, °C
        {year{2024} / May / 15, 14, 0, 133, 12, 200, 150},                                // ТС1.dP_min, MPa
        {year{2024} / May / 21, 9, 45, 135, 8, std::bit_cast<uint32_t>(1.02f), std::bit_cast<uint32_t>(1.03f)}, // ТС1.Кпр
        {year{2024} / June / 3, 11, 0, 73, 2, 0, 1},                                      // output mode
    };
    std::vector<JournalStruct> operations;
    for (const Change& c : changes) {
        JournalStruct r = Entry(c.Day, c.Hour, c.Minute, 0);
        r.WriteU16(JournalStruct::kCode, static_cast<uint16_t>(c.Type << 12 | c.Id));
        r.WriteU32(JournalStruct::kOldValue, c.Old);
        r.WriteU32(JournalStruct::kNewValue, c.New);
        operations.push_back(r);
    }
    state.Rings[5] = HistoryRing(5, 511, 0, notStaff.size());
    state.Rings[6] = HistoryRing(6, 255, 0, operations.size());
    FillRing(state.Rings[5], notStaff);
    FillRing(state.Rings[6], operations);
}

// The demo's clock (holding registers 40001..40006: year from 2000, month, day, hour, minute,
// second) one second later; a clock that is no date is left as it is.
void AdvanceClock(InstrumentState& state)
{
    using namespace std::chrono;
    const year_month_day date{year{2000 + state.Register(40001)}, month{state.Register(40002)},
                              day{state.Register(40003)}};
    const unsigned hour = state.Register(40004), minute = state.Register(40005), second = state.Register(40006);
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return;
    const sys_seconds next = sys_days{date} + hours{hour} + minutes{minute} + seconds{second} + seconds{1};
    const auto stamp = Stamp(next);
    RegisterWriter w(state);
    for (uint16_t i = 0; i < 6; ++i)
        w.Word(static_cast<uint16_t>(40001 + i), stamp[i]);
}

} // namespace

void WriteDemoCurrentValues(InstrumentState& state, uint32_t seconds)
{
    RegisterWriter writer(state);
    WriteCurrentValues(writer, seconds);
}

void DemoMotion::operator()(InstrumentState& state)
{
    ++seconds_;
    AdvanceClock(state);
    WriteDemoCurrentValues(state, seconds_);
}

InstrumentState DemoState(Model model)
{
    InstrumentState state = FixtureState(model);
    std::fill(state.InputImage.begin(), state.InputImage.end(), uint8_t{0});
    std::fill(state.HoldingImage.begin(), state.HoldingImage.end(), uint8_t{0});
    RegisterWriter writer(state);
    WriteCurrentValues(writer, 0);
    WriteSettings(writer);
    WriteChannels(writer);
    WriteInterfaces(writer);
    WriteArchives(state);
    WriteJournals(state);
    state.StoreRingPointers();
    return state;
}

} // namespace daxsim
