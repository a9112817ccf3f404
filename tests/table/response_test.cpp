// The full correction: each stage's response against its closed form, and records divided by a
// response recovered as they were (single pole, a flat accelerometer against the sensitivity
// correction, a velocity sensor differentiated).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "table/correction.hpp"
#include "table/response_removal.hpp"
#include "table/response_stages.hpp"

namespace smwave::table {
namespace {

using Value = std::complex<double>;
constexpr double pi = std::numbers::pi;
const Value i(0, 1);

ResponseStage poles_zeros(std::vector<Value> poles, double a0, double gain, bool hertz = false) {
    ResponseStage stage;
    stage.kind = StageKind::poles_zeros;
    stage.poles = std::move(poles);
    stage.normalization = a0;
    stage.gain = gain;
    stage.hertz = hertz;
    return stage;
}

ResponseStage gain_of(double gain) {
    ResponseStage stage;
    stage.gain = gain;
    return stage;
}

void expect_close(Value got, Value expected, const char* what, double f) {
    EXPECT_NEAR(std::abs(got - expected), 0.0, 1e-12 * std::abs(expected)) << what << " at " << f << " Hz";
}

TEST(ResponseStages, EachKindAgreesWithItsClosedForm) {
    const double corner = 2 * pi;  // one pole at 1 Hz, normalised there
    const double a0 = std::abs(Value(0, corner) + corner);
    // Two poles of a 50 Hz, 0.707-damped low-pass: A0 / (s^2 + 2 zeta w s + w^2).
    const Value p(-222.1441, 222.1441);
    for (const double f : {0.01, 0.3, 1.0, 7.0, 45.0}) {
        const Value s = 2 * pi * f * i;
        expect_close(response_at({poles_zeros({-corner}, a0, 3)}, f), 3 * a0 / (s + corner), "one pole", f);
        expect_close(response_at({poles_zeros({-1.0}, std::sqrt(2.0), 3, true)}, f),
                     3 * std::sqrt(2.0) / (Value(0, f) + 1.0), "one pole in Hz", f);
        expect_close(response_at({poles_zeros({p, std::conj(p)}, 98696.05, 0.5), gain_of(400000)}, f),
                     0.5 * 400000 * 98696.05 / (s * s - 2 * p.real() * s + std::norm(p)), "two poles", f);
        // A FIR of taps 1/4 1/2 1/4 at 200 Hz whose one-sample delay the recorder took out: real.
        ResponseStage fir;
        fir.kind = StageKind::fir;
        fir.numerators = fir_taps({0.25, 0.5}, "ODD");
        fir.input_rate = 200;
        fir.correction = 0.005;
        expect_close(response_at({fir}, f), 0.5 * (1 + std::cos(2 * pi * f / 200)), "FIR", f);
    }
    EXPECT_EQ(fir_taps({1, 2}, "EVEN"), (std::vector<double>{1, 2, 2, 1}));
    EXPECT_EQ(fir_taps({1, 2, 3}, "ODD"), (std::vector<double>{1, 2, 3, 2, 1}));
    EXPECT_EQ(fir_taps({1, 2}, "NONE"), (std::vector<double>{1, 2}));
    // |H| = 1 at the normalisation frequency of 1 Hz, as the inventory's A0 promises.
    EXPECT_NEAR(std::abs(response_at({poles_zeros({p, std::conj(p)}, 98696.05, 1)}, 1.0)), 1.0, 1e-6);
}

TEST(ResponseStages, PrefilterIsACosineBand) {
    const Prefilter corners = {1, 2, 10, 20};
    const std::pair<double, double> weights[] = {{0.5, 0}, {1.5, 0.5}, {5, 1}, {-5, 1}, {15, 0.5}, {25, 0}};
    for (const auto& [f, weight] : weights) EXPECT_NEAR(prefilter_weight(corners, f), weight, 1e-15) << f;
    const Prefilter standard = default_prefilter(0.01);
    EXPECT_EQ(standard, (Prefilter{0.005, 0.01, 40, 45}));
}

constexpr double dt = 0.01;
constexpr std::size_t n = 2000;  // 20 s: whole cycles of 2 Hz and 5 Hz

// The record's samples made from a function of time.
std::vector<double> made(const std::function<double(double)>& of_time) {
    std::vector<double> samples;
    for (std::size_t k = 0; k < n; ++k) samples.push_back(of_time(static_cast<double>(k) * dt));
    return samples;
}

// The middle half of the record, away from the ends the transform wraps, within `tolerance`.
void expect_middle_near(const std::vector<double>& got, const std::vector<double>& expected,
                        double tolerance) {
    for (std::size_t k = n / 4; k < 3 * n / 4; ++k)
        ASSERT_NEAR(got[k], expected[k], tolerance) << "sample " << k;
}

TEST(ResponseRemoval, RecordsComeBackAsTheInstrumentSawThem) {
    RemovalSettings settings;
    settings.prefilter = default_prefilter(dt);
    // One pole at 1 Hz: a 2 Hz sine is recorded with the pole's gain and phase at 2 Hz.
    {
        const double corner = 2 * pi;
        const std::vector<ResponseStage> stages = {
            poles_zeros({-corner}, std::abs(Value(0, corner) + corner), 1000)};
        const Value h = response_at(stages, 2.0);
        auto counts = made([&](double t) { return std::abs(h) * std::sin(4 * pi * t + std::arg(h)); });
        remove_response(counts, dt, stages, settings);
        expect_middle_near(counts, made([](double t) { return std::sin(4 * pi * t); }), 0.01);
    }
    // A flat accelerometer (poles far above the band): the full correction and the sensitivity agree.
    {
        const Value p = 2 * pi * 2000 * Value(-std::sqrt(0.5), std::sqrt(0.5));
        const double a0 = std::abs((2 * pi * i - p) * (2 * pi * i - std::conj(p)));
        const std::vector<ResponseStage> stages = {poles_zeros({p, std::conj(p)}, a0, 0.5), gain_of(400000)};
        const auto acceleration = [](double t) { return std::sin(4 * pi * t) + 0.5 * std::sin(10 * pi * t); };
        auto counts = made([&](double t) { return 200000 * acceleration(t); });
        auto by_sensitivity = counts;
        for (double& value : by_sensitivity) value *= 100.0 / 200000;
        settings.factor = 100;  // m/s**2 to cm/s/s
        remove_response(counts, dt, stages, settings);
        expect_middle_near(counts, by_sensitivity, 0.01 * 150);
    }
    // A velocity sensor, flat at 1000 counts per m/s: 0.01 sin(4 pi t) m/s is 4 pi cos(4 pi t) cm/s/s.
    {
        const std::vector<ResponseStage> stages = {poles_zeros({}, 1, 1000)};
        auto counts = made([](double t) { return 1000 * 0.01 * std::sin(4 * pi * t); });
        settings.factor = 100;
        settings.differentiate = true;
        remove_response(counts, dt, stages, settings);
        expect_middle_near(counts, made([](double t) { return 4 * pi * std::cos(4 * pi * t); }),
                           0.01 * 4 * pi);
    }
    // A pole and a zero at 0 Hz meet on the first bin, a pole on the imaginary axis sits on another:
    // those bins give nothing, the record stays finite.
    for (const Value pole : {Value(0), Value(0, 2 * pi * 25)}) {
        ResponseStage stage = poles_zeros({pole}, 1, 1000);
        stage.zeros = {0};
        auto counts = made([](double t) { return std::sin(4 * pi * t); });
        settings.differentiate = false;
        remove_response(counts, dt, {stage}, settings);
        for (const double value : counts) ASSERT_TRUE(std::isfinite(value)) << pole;
    }
}

// A pole, zero or coefficient whose number does not read is no 0, and a stage of zero normalization or
// taps has nothing to divide by: the whole response is refused (the sensitivity, which does not use
// the stages, still serves).
TEST(ResponseRemoval, StagesWithNumbersThatDoNotReadAreRefused) {
    const std::pair<const char*, const char*> stages[] = {
        {"<PolesZeros><Pole><Real>-1x</Real><Imaginary>1</Imaginary></Pole></PolesZeros>", "stage 1 holds 1 pole"},
        {"<FIR><Symmetry>NONE</Symmetry><NumeratorCoefficient>0.5</NumeratorCoefficient>"
         "<NumeratorCoefficient>!.25</NumeratorCoefficient></FIR>", "stage 1 holds 1 pole"},
        {"<Coefficients><Numerator>1</Numerator><Denominator>a</Denominator><Denominator>b</Denominator></Coefficients>", "stage 1 holds 2 pole"},
        {"<PolesZeros><NormalizationFactor>0.</NormalizationFactor></PolesZeros>", "has a gain, normalization"},
        {"<FIR><Symmetry>NONE</Symmetry><NumeratorCoefficient>0</NumeratorCoefficient></FIR>", "has a gain, normalization"}};
    const auto file = std::filesystem::temp_directory_path() / ("smwave-unreadable-" + std::to_string(::getpid()) + ".xml");
    for (const auto& [stage, count] : stages) {
        std::ofstream(file) << "<?xml version=\"1.0\"?><FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\">"
                               "<Network code=\"XX\"><Station code=\"STA\"><Channel code=\"HNZ\" locationCode=\"\">"
                               "<Response><InstrumentSensitivity><Value>1e5</Value><InputUnits><Name>m/s**2</Name></InputUnits>"
                               "<OutputUnits><Name>count</Name></OutputUnits></InstrumentSensitivity><Stage number=\"1\">"
                            << stage << "<StageGain><Value>1e5</Value></StageGain></Stage></Response></Channel></Station></Network></FDSNStationXML>";
        for (const bool full : {true, false}) {
            Component component;
            component.network = "XX", component.station = "STA", component.name = "HNZ", component.units = "counts";
            component.interval = dt, component.start = 0, component.source = "rec", component.samples = {1, 2, 3, 4};
            std::vector<Component> components{component};
            CorrectionOptions options;
            options.inventory = file;
            options.full_response = full;
            const auto corrected = correct_components(components, options);
            EXPECT_EQ(!corrected, full) << stage;
            if (full && !corrected) {
                EXPECT_NE(corrected.problem().what.find(count), std::string::npos)
                    << corrected.problem().what;
            }
        }
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace smwave::table
