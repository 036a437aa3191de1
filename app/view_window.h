#pragma once
// A view of its own beside the main window: a modeless window holding one
// chart with its tick labels and axis titles, and the chart's right-click
// menu (copy, save and print its image or its numbers, as the main
// window's charts). The critical Mach number across a family and the flow
// field are such views.

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "charts/chart_data.h"

class QMenu;
class QPrinter;
class QVBoxLayout;

namespace jmach {

class PictureBox;

class ViewWindow : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the main window: the chart's numbers, a
    // file name to save to (empty: cancelled), and a message to show.
    struct Hooks {
        std::function<ChartTable()> table;
        std::function<QString(const QString& caption, const QString& name, const QString& filters)> ask_file;
        std::function<void(const QString& text)> message;
        std::function<bool(QPrinter&)> print_setup;  // empty: the print dialog
    };
    ViewWindow(const QString& title, const QString& chart_name, const QSize& chart_size, Hooks hooks);
    ~ViewWindow() override;

    PictureBox& chart() const { return *chart_; }
    QMenu* menu() const { return menu_; }
    QVBoxLayout& top() const { return *top_; }  // controls above the chart

    // A tick label or title laid over the chart at a point of its user
    // coordinates (after its Scale), aligned there as `align` says.
    struct Caption {
        QString text;
        double x = 0, y = 0;
        Qt::Alignment align = Qt::AlignCenter;
        bool title = false;  // a title: the larger, italic font
    };
    void set_captions(const std::vector<Caption>& captions);

    // The chart to a file by its suffix: .csv its numbers, .png (twice the
    // screen's resolution), .svg or .pdf its image with the captions.
    std::optional<QString> export_to(const QString& file);

private:
    void copy_image();
    void copy_data();
    void save_image();
    void save_data();
    void print();

    QString title_, chart_name_;
    Hooks hooks_;
    PictureBox* chart_ = nullptr;
    QMenu* menu_ = nullptr;
    QVBoxLayout* top_ = nullptr;
    std::vector<QWidget*> captions_;
};

}  // namespace jmach
