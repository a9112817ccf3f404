#include "table/response_stages.hpp"

#include <numbers>

namespace smwave::table {

namespace {

using Value = std::complex<double>;

Value poles_zeros_at(const ResponseStage& stage, Value s) {
    Value value = stage.normalization;
    for (const Value zero : stage.zeros) value *= s - zero;
    for (const Value pole : stage.poles) value /= s - pole;
    return value;
}

// sum c_k x^k.
Value polynomial_at(const std::vector<double>& coefficients, Value x) {
    Value sum = 0, power = 1;
    for (const double coefficient : coefficients) {
        sum += coefficient * power;
        power *= x;
    }
    return sum;
}

Value stage_at(const ResponseStage& stage, double frequency) {
    const double omega = 2 * std::numbers::pi * frequency;
    const Value s = stage.hertz ? Value(0, frequency) : Value(0, omega);
    const bool runs_digitally = stage.digital || stage.kind == StageKind::fir;
    const Value z =
        runs_digitally && stage.input_rate > 0 ? std::exp(Value(0, omega / stage.input_rate)) : Value(1);
    const Value inverse_z = 1.0 / z;
    Value value = 1;
    switch (stage.kind) {
        case StageKind::poles_zeros:
            value = poles_zeros_at(stage, stage.digital ? z : s);
            break;
        case StageKind::coefficients:
        case StageKind::fir: {
            const Value x = runs_digitally ? inverse_z : s;
            value = polynomial_at(stage.numerators.empty() ? std::vector<double>{1.0} : stage.numerators, x);
            if (!stage.denominators.empty()) value /= polynomial_at(stage.denominators, x);
            break;
        }
        case StageKind::gain_only:
        case StageKind::unsupported:
            break;
    }
    if (runs_digitally && stage.correction != 0) value *= std::exp(Value(0, omega * stage.correction));
    return value * stage.gain;
}

}  // namespace

std::complex<double> response_at(const std::vector<ResponseStage>& stages, double frequency) {
    Value value = 1;
    for (const auto& stage : stages) value *= stage_at(stage, frequency);
    return value;
}

std::vector<double> fir_taps(std::vector<double> listed, const std::string& symmetry) {
    if (symmetry != "EVEN" && symmetry != "ODD") return listed;
    const std::size_t mirrored =
        symmetry == "EVEN" ? listed.size() : listed.size() - (listed.empty() ? 0 : 1);
    for (std::size_t k = mirrored; k-- > 0;) listed.push_back(listed[k]);
    return listed;
}

}  // namespace smwave::table
