#include "charts/control_help.h"

#include <array>

#include "airfoil/surface_minimum.h"
#include "compressible/mcrit.h"

namespace jmach {

namespace {

constexpr std::array kHelp = {
    ControlHelp{"HScroll_Thickness", "Relative thickness δ",
                "Relative thickness δ = t/c: largest distance between the surfaces as a fraction of the chord, "
                "0 to 0.30 in steps of 0.01."},
    ControlHelp{"HScroll_Camber", "Relative camber γ",
                "Relative camber γ = f/c: largest height of the mean line as a fraction of the chord, 0 to 0.15 in "
                "steps of 0.01."},
    ControlHelp{"HScroll_nP", "Number of surface points nP",
                "Number of points nP on the profile at which the pressure is computed, 11 to 101; the arrows step "
                "by 2, the page areas by 10."},
    ControlHelp{"HScroll_AlfaD", "Angle of attack α", "Angle of attack α in degrees, -10 to 10 in steps of 1."},
    ControlHelp{"HScroll_xM", "Moment reference point xM/c",
                "Moment reference point xM/c: where on the chord the pitching moment is taken, as a fraction of "
                "the chord from the leading edge, 0 to 1 in steps of 0.01."},
    ControlHelp{"HScroll_Moo", "Free-stream Mach number M∞",
                "Free-stream Mach number M∞ (no unit), 0 to 0.90 in steps of 0.01; above 0 the pressure, lift and "
                "moment charts add the Prandtl-Glauert-corrected curves in magenta."},

    ControlHelp{"Text_Thickness", "Relative thickness δ, value",
                "Relative thickness δ = t/c set by its scroll bar, 0 to 0.30."},
    ControlHelp{"Text_Camber", "Relative camber γ, value", "Relative camber γ = f/c set by its scroll bar, 0 to 0.15."},
    ControlHelp{"Text_nP", "Number of surface points nP, value",
                "Number of profile points nP set by its scroll bar, 11 to 101."},
    ControlHelp{"Text_AlfaD", "Angle of attack α, value", "Angle of attack α in degrees set by its scroll bar, -10 to 10."},
    ControlHelp{"Text_xM", "Moment reference point xM/c, value",
                "Moment reference point xM/c set by its scroll bar, 0 to 1 (fraction of the chord from the leading "
                "edge)."},
    ControlHelp{"Text_Moo", "Free-stream Mach number M∞, value",
                "Free-stream Mach number M∞ (no unit) set by its scroll bar, 0 to 0.90; a number typed here, from 0 "
                "up to below 1, is used by the next recompute."},
    ControlHelp{"Text_CpMin", "Minimum pressure coefficient CpMin", kCpMinDescription},
    ControlHelp{"Text_Mcrit", "Critical Mach number by Prandtl-Glauert", kMcritDescription},
    ControlHelp{"Text_CL", "Lift coefficient CL",
                "Incompressible lift coefficient CL (no unit) at the current angle of attack, rounded to 4 "
                "decimals."},
    ControlHelp{"Text1", "Pitching-moment coefficient CM",
                "Incompressible pitching-moment coefficient CM (no unit) about xM/c at the current angle of "
                "attack, rounded to 5 decimals."},

    ControlHelp{"Mcrit", "Critical Mach number chart",
                "Critical Mach number chart: 1 - Cp of the minimum pressure against the Mach number 0 to 1 under "
                "Prandtl-Glauert (blue), Kármán-Tsien (green) and Laitone (magenta), with the critical pressure "
                "coefficient Cp* (red); the blue vertical line marks the critical Mach number."},
    ControlHelp{"profil", "Profile chart",
                "Profile: y/c against x/c, 0 to 1 along the chord; lower surface red, upper surface blue; a red "
                "ring marks the moment reference point."},
    ControlHelp{"pressure", "Surface pressure chart",
                "Surface pressure: 1 - Cp against x/c, 0 to 1 along the chord; lower surface red, upper surface "
                "blue, and in magenta Cp corrected by Prandtl-Glauert when a Mach number above 0 is in use."},
    ControlHelp{"Picture_CL", "Lift curve chart",
                "Lift curve: lift coefficient CL against the angle of attack α, -12 to 12 degrees; a red ring "
                "marks the current angle, magenta the curve corrected by Prandtl-Glauert, CL/β."},
    ControlHelp{"Picture_CM", "Moment curve chart",
                "Moment curve: pitching-moment coefficient CM about xM/c against the angle of attack α, -12 to 12 "
                "degrees; a red ring marks the current angle, magenta the curve corrected by Prandtl-Glauert, "
                "CM/β."},
};

}  // namespace

std::span<const ControlHelp> control_helps() { return kHelp; }

const ControlHelp* control_help(std::string_view control) {
    for (const ControlHelp& help : kHelp)
        if (control == help.control) return &help;
    return nullptr;
}

}  // namespace jmach
