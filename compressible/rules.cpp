#include "compressible/rules.h"

#include <cmath>

namespace jmach {

double Cp_PG(const double& cp0, const double& beta) { return cp0 / beta; }

double Cp_KT(const double& cp0, const double& m2, const double& beta) {
    return cp0 / (beta + (cp0 * (m2 / (beta + 1.0))) / 2.0);
}

double Cp_LA(const double& cp0, const double& m2, const double& beta, const double& t) {
    return cp0 / (beta + cp0 * (((m2 * t) / 2.0) / beta));
}

double Cp_Cr(const ModelState& s, const double& m2, const double& t) {
    return (s.two_over_gamma / m2) * (std::pow(t / s.gamma_plus1_half, s.gamma_over_gamma_minus1) - 1.0);
}

}  // namespace jmach
