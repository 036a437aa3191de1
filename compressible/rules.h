#pragma once
// The compressibility rules and the critical pressure coefficient, each in
// the exact form and evaluation order of the published formulas.

#include "core/model_state.h"

namespace jmach {

// Prandtl-Glauert: cp0 / beta.
double Cp_PG(const double& cp0, const double& beta);
// Karman-Tsien: cp0 / (beta + (cp0 * (M^2 / (beta + 1))) / 2).
double Cp_KT(const double& cp0, const double& m2, const double& beta);
// Laitone: cp0 / (beta + cp0 * (((M^2 * T) / 2) / beta)).
double Cp_LA(const double& cp0, const double& m2, const double& beta, const double& t);
// Critical pressure coefficient Cp* at M^2, T = 1 + (gamma-1)/2 M^2.
double Cp_Cr(const ModelState& s, const double& m2, const double& t);

}  // namespace jmach
