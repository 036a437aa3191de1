// Charts out of the window: jmach-script's export and snapshot by suffix,
// the right-click menu of every chart, the controls that explain
// themselves, and the numbers the sampling hides.

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <cmath>

#include "core/number_text.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool well_formed_svg(const QByteArray& svg, const char* caption) {
    QXmlStreamReader xml(svg);
    bool root = false, has_caption = !*caption;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && !root) root = xml.name() == QLatin1String("svg");
        if (xml.isCharacters() && xml.text().contains(QLatin1String(caption))) has_caption = true;
    }
    return !xml.hasError() && root && has_caption;
}

// Script lines run on a window; `error` keeps the last bad line's message.
struct Driver {
    Window w;
    ScriptRunner runner{*w.form, ScriptOptions{}};
    std::string json, error;
    void operator()(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines)
            if (auto e = runner.run_line(line, json)) error = *e;
    }
    QJsonObject last() const { return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object(); }
    QString path(const std::string& name) const { return w.dir.filePath(QString::fromStdString(name)); }
    // "export CHART FILE" or "snapshot FILE" with the file in the window's folder.
    std::string to(const std::string& action, const std::string& file) const {
        return action + " " + path(file).toStdString();
    }
    // Column c of a CSV file written by export, header left out.
    std::vector<double> column(const std::string& file, int c) const {
        std::vector<double> out;
        for (const QByteArray& line : contents(path(file)).split('\n').mid(1))
            if (!line.isEmpty()) out.push_back(line.trimmed().split(',').at(c).toDouble());
        return out;
    }
    QByteArray header(const std::string& file) const { return contents(path(file)).split('\r').first(); }
};

std::vector<double> divided(const double* values, int n, double by = 1) {
    std::vector<double> out;
    for (int i = 0; i < n; ++i) out.push_back(values[i] / by);
    return out;
}

TEST(ChartExport, CsvOfEveryChartIsTheRecordAsDrawnWithAndWithoutAMachNumber) {
    Driver d;
    QLocale::setDefault(QLocale(QLocale::German));  // must not turn points into commas
    d({"thickness 5", "camber 2", "alpha 4", "xm 25"});
    for (const char* chart : kChartNames) d({d.to(std::string("export ") + chart, std::string(chart) + "0.csv")});
    const ModelState& s = d.w->state();
    EXPECT_EQ(d.header("profil0.csv"), "point,x/c [-],y/c [-]");
    EXPECT_EQ(d.column("profil0.csv", 1), divided(&s.prof_x[1], 51));
    EXPECT_EQ(d.header("pressure0.csv"), "point,x/c [-],Cp [-]");  // no Mach number, no corrected column
    EXPECT_EQ(d.column("pressure0.csv", 2), divided(&s.cp_surf[1], 51));
    EXPECT_EQ(d.column("Picture_CL0.csv", 1), divided(&s.curve_cl[0], 25));
    EXPECT_EQ(d.column("Picture_CM0.csv", 1), divided(&s.curve_cm[0], 25));

    // At Mach 0.5 the charts add the corrected curves. A typed Mach number
    // runs nothing, so the data stay those of the charts as drawn.
    d({"mach 50", "type-mach 0.7"});
    for (const char* chart : {"pressure", "Picture_CL", "Picture_CM"})
        d({d.to(std::string("export ") + chart, std::string(chart) + "5.csv")});
    const double beta = std::sqrt(0.75);
    EXPECT_EQ(d.column("pressure5.csv", 3), divided(&s.cp_surf[1], 51, beta));
    EXPECT_EQ(d.column("Picture_CL5.csv", 2), divided(&s.curve_cl[0], 25, beta));
    EXPECT_EQ(d.column("Picture_CM5.csv", 2), divided(&s.curve_cm[0], 25, beta));
    EXPECT_EQ(d.header("Picture_CM5.csv"), "alpha [deg],CM about x/c=0.25 [-],CM/beta about x/c=0.25 M=0.5 [-]");
    d({"alpha 3", d.to("export Picture_CL", "typed.csv")});
    EXPECT_EQ(d.header("typed.csv"), "alpha [deg],CL [-],CL/beta M=0.7 [-]");
    EXPECT_EQ(d.error, "");
    QLocale::setDefault(QLocale::c());
}

TEST(ChartExport, ImagesAreWellFormedAndFailuresLeaveNothingBehind) {
    Driver d;
    d({"thickness 5", "camber 2", "alpha 4", "mach 50"});
    const char* const captions[] = {"", "y/c", "1-Cp", "CL", "CM"};  // the critical Mach chart has none
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const std::string base = std::string("export ") + kChartNames[i], file = kChartNames[i];
        d({d.to(base, file + ".svg"), d.to(base, file + ".PDF"), d.to(base, file + ".png")});
        EXPECT_TRUE(well_formed_svg(contents(d.path(file + ".svg")), captions[i])) << file;
        const QByteArray pdf = contents(d.path(file + ".PDF"));
        EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF")) << file;
        const QWidget& box = d.w->chart(static_cast<Chart>(i));  // PNG at twice the window's resolution
        EXPECT_EQ(QImage(d.path(file + ".png")).size(), box.size() * 2 * box.devicePixelRatioF()) << file;
    }
    d({d.to("snapshot", "window.svg"), d.to("snapshot", "window.pdf"), d.to("snapshot", "window.png")});
    EXPECT_TRUE(well_formed_svg(contents(d.path("window.svg")), "Mcr-PG"));
    EXPECT_TRUE(contents(d.path("window.pdf")).startsWith("%PDF-"));
    ASSERT_EQ(d.error, "");

    // Other suffixes, missing folders and a folder in the file's place.
    QTemporaryDir empty;
    ASSERT_TRUE(QDir(empty.path()).mkdir(QStringLiteral("taken.csv")));
    const std::string in = empty.path().toStdString() + "/";
    const std::pair<std::string, std::string> bad[] = {
        {"export profil " + in + "x.txt", "x.txt: the suffix must be .csv, .png, .svg or .pdf"},
        {"export pressure " + in + "missing/x.csv", "Cannot write " + in + "missing/x.csv: "},
        {"export Mcrit " + in + "taken.csv", "Cannot write"},
        {"snapshot " + in + "window.jpg", "the suffix must be .png, .svg or .pdf"},
        {"snapshot " + in + "missing/window.pdf", "cannot write the snapshot"},
        {"export Nose x.csv", "export needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, sweep, flow, not \"Nose\""}};
    for (const auto& [line, error] : bad) {
        d.error.clear();
        d({line});
        EXPECT_NE(d.error.find(error), std::string::npos) << line << " -> " << d.error;
    }
    EXPECT_EQ(QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList(QStringLiteral("taken.csv")));
    EXPECT_TRUE(QDir(empty.filePath(QStringLiteral("taken.csv"))).isEmpty());

}

TEST(ChartMenu, RightClickCopySaveAndPrint) {
    Window w;
    w->HScroll_Thickness_Change();
    w->set_input(Input::mach, 40);
    // Every chart has the five commands and the reference pair, the
    // pressure chart the sonic level too. The right button opens the menu
    // and recomputes nothing (a mark drawn on the chart survives).
    QStringList texts;
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        QStringList menu;
        for (QAction* a : w->chart_menu(static_cast<Chart>(i))->actions())
            if (!a->isSeparator()) menu << a->text() + QLatin1Char('=') + a->objectName();
        texts << menu.join(QLatin1Char('|'));
    }
    const QString common = QStringLiteral("Copy image=copy_image|Copy data=copy_data|Save image…=save_image|"
                                          "Save data…=save_data|Print…=print|Keep as reference=keep_reference|"
                                          "Clear reference=clear_reference");
    EXPECT_EQ(texts, QStringList({common + QStringLiteral("|Critical Mach number against…=open_sweep"),
                                  common + QStringLiteral("|Flow field…=open_flow"),
                                  common + QStringLiteral("|Show sonic level=sonic_level"), common, common}));
    PictureBox& box = w->chart(Chart::pressure);
    box.Line(-7.5f, -7.5f, 7.5f, 7.5f, rgb(1, 2, 3));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(9, 9), box.mapToGlobal(QPointF(9, 9)), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(9, 9), box.mapToGlobal(QPointF(9, 9)), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(9, 9), box.mapToGlobal(QPoint(9, 9)));
    for (QEvent* e : std::initializer_list<QEvent*>{&press, &release, &context}) QApplication::sendEvent(&box, e);
    EXPECT_TRUE(w->chart_menu(Chart::pressure)->isVisible() && surface_json(box).find("#010203") != std::string::npos);
    w->chart_menu(Chart::pressure)->hide();
    auto run = [&](Chart which, const char* command) {
        w->chart_menu(which)->findChild<QAction*>(QString::fromLatin1(command))->trigger();
    };
    run(Chart::pressure, "copy_data");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), tsv_text(w->chart_table(Chart::pressure)));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("point\tx/c [-]\tCp [-]\tCp Prandtl-Glauert M=0.4 [-]\n1\t1\t")));
    run(Chart::Picture_CL, "copy_image");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), w->chart(Chart::Picture_CL).size() * 2);

    // Save dialogs start in the documents folder, then where the last file went.
    QStringList starts;
    QString answer;
    w->set_file_dialog_hook([&](const QString&, const QString& start, const QString&) { starts << start; return answer; });
    answer = w.dir.filePath(QStringLiteral("moment"));  // no suffix: that of the file type
    run(Chart::Picture_CM, "save_data");
    answer = w.dir.filePath(QStringLiteral("profile.svg"));
    run(Chart::profil, "save_image");
    answer.clear();  // cancelled
    run(Chart::Mcrit, "save_image");
    EXPECT_EQ(starts, QStringList({QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(QStringLiteral("Picture_CM.csv")),
                                   w.dir.filePath(QStringLiteral("profil.png")), w.dir.filePath(QStringLiteral("Mcrit.png"))}));
    EXPECT_EQ(contents(w.dir.filePath(QStringLiteral("moment.csv"))).toStdString(), csv_text(w->chart_table(Chart::Picture_CM)));
    EXPECT_TRUE(well_formed_svg(contents(w.dir.filePath(QStringLiteral("profile.svg"))), "y/c"));
    EXPECT_TRUE(w.messages.empty());
    // Errors name the file; nothing is left behind.
    for (const auto& [bad, command] : {std::pair{"missing/x.png", "save_image"}, {"x.csv", "save_image"}, {"missing/x.csv", "save_data"}}) {
        answer = w.dir.filePath(QString::fromLatin1(bad));
        run(Chart::Mcrit, command);
        EXPECT_TRUE(!w.messages.empty() && w.messages.back().find(answer.toStdString()) != std::string::npos && !QFile::exists(answer)) << bad;
    }
    // Printing to a PDF file through QPrinter; a printer that cannot start says so.
    for (const char* file : {"printed.pdf", "missing/printed.pdf"}) {
        w.messages.clear();
        w->set_print_hook([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(w.dir.filePath(QString::fromLatin1(file)));
            return true;
        });
        run(Chart::pressure, "print");
        EXPECT_EQ(w.messages.size(), std::string(file).starts_with("missing") ? 1u : 0u) << file;
    }
    EXPECT_TRUE(contents(w.dir.filePath(QStringLiteral("printed.pdf"))).startsWith("%PDF-"));
}

TEST(Accessibility, EveryInteractiveControlHasANameADescriptionAndATooltip) {
    Window w;
    std::string faults;
    int controls = 0;
    for (QWidget* widget : w->findChildren<QWidget*>()) {
        const bool menu = qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget);
        if (!menu && !(widget->focusPolicy() != Qt::NoFocus && widget->isVisibleTo(w.form.get())) && !qobject_cast<PictureBox*>(widget)) continue;
        ++controls;
        const std::string name = widget->objectName().toStdString();
        if (widget->accessibleName().isEmpty()) faults += name + ": no accessible name\n";
        if (!menu && widget->accessibleDescription().isEmpty()) faults += name + ": no description\n";
        // The Mach box's tooltip tells its state; its meaning is for screen readers.
        if (!menu && name != "Text_Moo" && widget->toolTip().isEmpty()) faults += name + ": no tooltip\n";
    }
    EXPECT_EQ(controls, 6 + 10 + 5 + 5 + 1);  // scroll bars, value boxes, charts, their menus, the menu bar
    EXPECT_EQ(faults, "");
    EXPECT_EQ(scroll(w, "HScroll_Thickness")->accessibleName(), QStringLiteral("Relative thickness δ"));
    EXPECT_TRUE(scroll(w, "HScroll_Thickness")->toolTip().contains(QStringLiteral("0 to 0.30 in steps of 0.01")));
    EXPECT_TRUE(text_box(w, "Text_Moo")->toolTip().isEmpty() && text_box(w, "Text_Moo")->accessibleDescription().contains(QStringLiteral("0 to 0.90")));
}

TEST(HiddenBySampling, TooltipsAndJsonKeysFollowTheSearch) {
    Driver d;
    auto key = [&](const char* name) { return d.last().value(QLatin1String(name)); };
    d({"about"});  // no profile yet
    for (const char* name : {"cp_min_exact", "x_cp_min_exact", "mcrit_kt", "mcrit_la"}) EXPECT_TRUE(key(name).isNull()) << name;
    d({"np 11", "thickness 0"});  // the flat plate at zero incidence: a minimum, 0, but no search
    EXPECT_TRUE(key("cp_min_exact").toDouble(-1) == 0 && key("mcrit_kt").isNull());
    d({"alpha 5"});  // its sharp leading edge at incidence: unbounded suction
    EXPECT_TRUE(key("cp_min_exact").isNull() && key("x_cp_min_exact").toDouble(-1) == 0);
    EXPECT_TRUE(d.w->value_tip("Text_CpMin").contains(QStringLiteral("unbounded speed")));

    d({"thickness 5"});  // with thickness every key is a number: the window's own values
    const SurfaceMinimum exact = *d.w->exact_minimum();
    const CriticalMachs machs = *d.w->critical_machs();
    EXPECT_TRUE(key("cp_min_exact").toDouble() == exact.cp && key("x_cp_min_exact").toDouble() == exact.x);
    EXPECT_TRUE(key("mcrit_kt").toDouble() == machs.kt && key("mcrit_la").toDouble() == machs.la);
    auto text = [](double v, int decimals) { return QString::fromStdString(rounded_text(v, decimals)); };
    const QString mcrit_tip = d.w->value_tip("Text_Mcrit");
    EXPECT_TRUE(d.w->value_tip("Text_CpMin").contains(
        QStringLiteral("Sampled at the 11 points: %1<br>Exact minimum of the continuous surface: %2 at x/c = %3")
            .arg(text(machs.cp_min, 4), text(exact.cp, 4), text(exact.x, 6))));
    EXPECT_TRUE(mcrit_tip.contains(QStringLiteral("(shown): %1<br>Kármán-Tsien: %2<br>Laitone: %3")
                                       .arg(d.w->value_text("Text_Mcrit"), text(machs.kt, 4), text(machs.la, 4))));
}

}  // namespace
}  // namespace jmach::testing
