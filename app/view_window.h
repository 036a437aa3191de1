#pragma once
// A view of its own beside the main window: a modeless window holding one
// of the session's views (the critical Mach number across a family, or
// the flow field) with its tick labels and axis titles, and the chart's
// right-click menu (copy, save and print its image or its numbers, as the
// main window's charts). Closing it closes the view.

#include <QWidget>

#include <optional>
#include <vector>

#include "session/session.h"

class QComboBox;
class QLabel;
class QMenu;

namespace jmach {

class Form1;
class PictureBox;

class ViewWindow : public QWidget {
    Q_OBJECT
public:
    ViewWindow(Form1& form, View view);
    ~ViewWindow() override;

    PictureBox& chart() const { return *chart_; }
    QMenu* menu() const { return menu_; }
    // The sweep's choice of input; null in the flow view.
    QComboBox* selector() const { return selector_; }

    // Shows the view as the session holds it: the drawing, and its
    // captions when the drawing changed.
    void show_view();

    // The chart to a file by its suffix: .csv its numbers, .png (twice the
    // screen's resolution), .svg or .pdf its image with the captions.
    std::optional<QString> export_to(const QString& file);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place_captions();
    QString title() const;
    void copy_image();
    void copy_data();
    void save_image();
    void save_data();
    void print();

    Form1& form_;
    View view_;
    PictureBox* chart_ = nullptr;
    QMenu* menu_ = nullptr;
    QComboBox* selector_ = nullptr;
    QLabel* legend_ = nullptr;
    std::vector<QLabel*> captions_;
    std::optional<unsigned> captioned_version_;
};

}  // namespace jmach
