#pragma once
// The main window: the inputs, value boxes and five charts of the program,
// and the handlers that turn each user event into its recompute chain.

#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "airfoil/table.h"
#include "app/model_state.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace jmach {

class FormAbout;
class PictureBox;

// The Mach box's error state: the tooltip while its text cannot be used.
inline constexpr const char* kMachErrorTip = "Mach number must be between 0 and 1";
// The one message the chain itself reports.
inline constexpr const char* kNotInTableMessage = "bu profil veritabanında yok";

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: the constants and the airfoil table from the working
    // directory. Returns the reader's message when the table cannot be
    // loaded; the window must then not be shown.
    std::optional<std::string> Form_Load();
    std::optional<std::string> Form_Load(const std::filesystem::path& table_file);

    // Every message box of the window goes through here. Without a hook it
    // is a modal box with one OK button, no icon and the application's
    // title; with one, the hook receives the text instead (the script tool
    // and the tests answer it that way).
    using MessageHook = std::function<void(const QString& text)>;
    void set_message_hook(MessageHook hook) { message_hook_ = std::move(hook); }
    void show_message(const QString& text);

    ModelState& state() { return s_; }
    const ModelState& state() const { return s_; }

    // The About window once it has been created, else null.
    QWidget* about_window() const;

    // The chain procedures, each reading its controls, calling the model
    // and writing its boxes and chart.
    void profil_hesapla();
    void profil_ciz();
    void basınc_hesapla();
    void basınc_ciz();
    void CL_Alfa_ciz();
    void CM_Alfa_ciz();

    // The handlers.
    void HScroll_Thickness_Change();
    void HScroll_Camber_Change();
    void HScroll_nP_Change();
    void HScroll_AlfaD_Change();
    void HScroll_xM_Change();
    void HScroll_Moo_Change();
    void Picture_CL_Click();
    void Picture_CM_Click();
    void pressure_Click();
    void profil_Click();
    void Mn_About_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_layout();
    void connect_handlers();
    void full_chain();
    // For the chains that start after the profile step: runs the full
    // chain first when no profile exists yet. False when there is still
    // none afterwards (every lookup so far has failed).
    bool ensure_profile();
    // The Mach box text as the charts read it; marks the box while the
    // text is not a usable Mach number.
    std::string mach_text();

    ModelState s_;
    MessageHook message_hook_;
    std::unique_ptr<FormAbout> about_;

public:
    // Controls, named as the user and the tests know them.
    QAction* Mn_About = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLineEdit* Text_Thickness = nullptr;
    QLineEdit* Text_Camber = nullptr;
    QLineEdit* Text_nP = nullptr;
    QLineEdit* Text_AlfaD = nullptr;
    QLineEdit* Text_xM = nullptr;
    QLineEdit* Text_Moo = nullptr;
    QLineEdit* Text_CpMin = nullptr;
    QLineEdit* Text_Mcrit = nullptr;
    QLineEdit* Text_CL = nullptr;
    QLineEdit* Text1 = nullptr;
    QScrollBar* HScroll_Thickness = nullptr;
    QScrollBar* HScroll_Camber = nullptr;
    QScrollBar* HScroll_nP = nullptr;
    QScrollBar* HScroll_AlfaD = nullptr;
    QScrollBar* HScroll_xM = nullptr;
    QScrollBar* HScroll_Moo = nullptr;
    PictureBox* Mcrit = nullptr;
    PictureBox* profil = nullptr;
    PictureBox* pressure = nullptr;
    PictureBox* Picture_CL = nullptr;
    PictureBox* Picture_CM = nullptr;
};

// The value boxes in window order, by control name.
inline constexpr const char* kValueBoxNames[] = {
    "Text_Thickness", "Text_Camber", "Text_nP",   "Text_AlfaD", "Text_xM",
    "Text_Moo",       "Text_CpMin",  "Text_Mcrit", "Text_CL",   "Text1"};

}  // namespace jmach
