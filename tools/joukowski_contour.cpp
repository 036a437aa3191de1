// joukowski-contour: writes the exact contour of one profile of the airfoil
// table as a plain coordinate file, for a side-by-side run in a panel code.
//
// The points are the images of equally spaced circle angles, as the program
// maps them, ordered from the trailing edge over the upper surface to the
// leading edge and back along the lower surface, one "x y" pair a line after
// a name line.
//
// Usage: joukowski-contour TABLE THICKNESS% CAMBER% PANELS

#include <cstdio>
#include <cstdlib>
#include <string>

#include "airfoil/profile.h"
#include "airfoil/table.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: joukowski-contour TABLE THICKNESS%% CAMBER%% PANELS\n");
        return 2;
    }
    jmach::ModelState s;
    jmach::set_constants(s);
    if (const auto error = jmach::load_airfoil_table(argv[1], s)) {
        std::fprintf(stderr, "joukowski-contour: %s\n", error->c_str());
        return 1;
    }
    s.thickness = std::atoi(argv[2]) / 100.0;
    s.camber = std::atoi(argv[3]) / 100.0;
    const int panels = std::atoi(argv[4]);
    if (panels < 4 || !jmach::table_lookup(s)) {
        std::fprintf(stderr, "joukowski-contour: no such profile or too few panels\n");
        return 1;
    }
    const jmach::ChordConstants k = jmach::chord_constants(s.circle_eps);
    std::printf("Joukowski t/c=%s f/c=%s\n", argv[2], argv[3]);
    // Circle angles run clockwise from the trailing edge over the lower
    // surface; the other way round gives the upper surface first.
    for (int i = 0; i <= panels; ++i) {
        const double theta = 2.0 * s.pi_value * i / panels;
        const jmach::MappedPoint p = (i == 0 || i == panels)
                                         ? jmach::MappedPoint{1.0, 0.0, 0.0}
                                         : jmach::map_circle_point(s.circle_eps, s.circle_mu, theta, k);
        std::printf("%.17g %.17g\n", p.x, p.y);
    }
    return 0;
}
