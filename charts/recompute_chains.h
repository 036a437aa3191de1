#pragma once
// The handlers of the main window and the recompute chain each one runs,
// shared by every front end (the desktop window and the browser page), so
// that both redraw exactly the same charts in the same order.
//
// A window derives from RecomputeChains<itself>, makes it a friend and
// provides the chain procedures profil_hesapla, profil_ciz, basınc_hesapla,
// basınc_ciz, CL_Alfa_ciz and CM_Alfa_ciz, the model state s_, begin_chain
// (every handler starts there), profil_surface (the profile chart) and
// mach_from_scroll_bar (writes the Mach scroll bar's value into the Mach
// box).

#include "charts/profile_view.h"
#include "core/model_state.h"

namespace jmach {

template <class Window>
class RecomputeChains {
public:
    void HScroll_Thickness_Change() { whole(); }
    void HScroll_Camber_Change() { whole(); }

    void HScroll_nP_Change() {
        w().begin_chain();
        w().profil_hesapla();
        w().profil_ciz();
        if (!has_profile(w().s_)) return;
        w().basınc_hesapla();
        w().basınc_ciz();
    }

    void HScroll_AlfaD_Change() {
        w().begin_chain();
        if (!ensure_profile()) return;
        w().basınc_hesapla();
        w().basınc_ciz();
        w().CL_Alfa_ciz();
        w().CM_Alfa_ciz();
    }

    void HScroll_xM_Change() {
        w().begin_chain();
        // The moment curve carries the lift to the reference point: after a
        // point-count change alone no lift has been computed yet.
        if (has_profile(w().s_) && !has_lift_curve(w().s_)) full_chain();
        if (!ensure_profile()) return;
        w().CM_Alfa_ciz();
        w().profil_ciz();
        moment_ref_marker(w().s_, w().profil_surface());
    }

    void HScroll_Moo_Change() {
        w().begin_chain();
        w().mach_from_scroll_bar();
        full_chain();
    }

    void Picture_CL_Click() { whole(); }
    void Picture_CM_Click() { whole(); }
    void pressure_Click() { whole(); }
    void profil_Click() { whole(); }
    // A click on the critical Mach chart is not handled.

protected:
    void full_chain() {
        w().profil_hesapla();
        w().profil_ciz();
        // Before any lookup has succeeded there is no circle to flow about.
        if (!has_profile(w().s_)) return;
        w().basınc_hesapla();
        w().basınc_ciz();
        w().CL_Alfa_ciz();
        w().CM_Alfa_ciz();
    }

    // For the chains that start after the profile step: runs the full chain
    // first when no profile exists yet. False when there is still none
    // afterwards (every lookup so far has failed).
    bool ensure_profile() {
        if (!has_profile(w().s_)) full_chain();
        return has_profile(w().s_);
    }

private:
    Window& w() { return static_cast<Window&>(*this); }
    void whole() {
        w().begin_chain();
        full_chain();
    }
};

}  // namespace jmach
