#pragma once
// The stages of an instrument's response as StationXML describes them, and the complex response
// of the whole chain at a frequency.
#include <complex>
#include <cstddef>
#include <string>
#include <vector>

namespace smwave::table {

// gain_only: a stage of StageGain alone; unsupported: a ResponseList or Polynomial stage.
enum class StageKind { poles_zeros, coefficients, fir, gain_only, unsupported };

struct ResponseStage {
    StageKind kind = StageKind::gain_only;
    bool digital = false;      // a transfer function in z (poles and zeros, coefficients)
    bool hertz = false;        // an analog one in s = i f rather than s = 2 pi i f
    double normalization = 1;  // A0 of poles and zeros
    std::vector<std::complex<double>> zeros, poles;
    std::vector<double> numerators, denominators;  // coefficients, and a FIR's whole set of taps
    double input_rate = 0;  // Decimation/InputSampleRate: the rate a digital stage runs at
    double correction = 0;  // Decimation/Correction: the delay the recorder has already taken out (s)
    double gain = 1;        // StageGain/Value
    std::string input_units, output_units;
    std::size_t unreadable = 0;  // poles, zeros or coefficients the file gives whose numbers do not read
};

// The product of the stages' gains and their normalised responses at `frequency` (Hz): counts per
// input unit of the first stage. Analog stages: A0 prod(s - z)/prod(s - p) or sum b_k s^k / sum
// a_k s^k; digital ones with z = exp(2 pi i f / input_rate): prod(z - z_k)/prod(z - p_k) or sum b_k
// z^-k / sum a_k z^-k (a FIR's taps alone), times exp(2 pi i f correction) for the delay taken out.
std::complex<double> response_at(const std::vector<ResponseStage>& stages, double frequency);

// A FIR's taps from the ones StationXML lists: "NONE" as they are, "EVEN" mirrored whole, "ODD"
// mirrored without the middle one.
std::vector<double> fir_taps(std::vector<double> listed, const std::string& symmetry);

}  // namespace smwave::table
