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
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <ranges>

#include "app/chart_export.h"
#include "core/number_text.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs script lines on the window; returns the JSON of the last line, or
// the error of the first bad line.
struct Driver {
    Window w;
    ScriptRunner runner{*w.form, ScriptOptions{}};
    std::string json, error;
    Driver& operator()(std::initializer_list<const char*> lines) {
        for (const char* line : lines)
            if (auto e = runner.run_line(line, json)) error = *e;
        return *this;
    }
    QJsonObject last() const { return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object(); }
    QString path(const char* name) const { return w.dir.filePath(QString::fromLatin1(name)); }
    std::string in_dir(const char* action, const char* chart, const char* file) const {
        return std::string(action) + " " + chart + (*chart ? " " : "") + path(file).toStdString();
    }
};

// The cells of a CSV file, CRLF lines split at commas (names carry none).
std::vector<QStringList> csv(const QString& path) {
    std::vector<QStringList> rows;
    for (const QByteArray& line : contents(path).split('\n'))
        if (!line.isEmpty()) rows.push_back(QString::fromLatin1(line.chopped(1)).split(QLatin1Char(',')));
    return rows;
}

bool well_formed_svg(const QByteArray& svg, const QString& caption) {
    QXmlStreamReader xml(svg);
    bool root = false, has_caption = caption.isEmpty();
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && !root) root = xml.name() == QLatin1String("svg");
        if (xml.isCharacters() && xml.text().toString().contains(caption)) has_caption = true;
    }
    return !xml.hasError() && root && has_caption;
}

TEST(ChartExport, CsvOfEveryChartIsTheRecordAsDrawnWithAndWithoutAMachNumber) {
    Driver d;
    // A German default locale must not turn decimal points into commas.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    d({"thickness 5", "camber 2", "alpha 4", "xm 25"});
    const ModelState& s = d.w->state();
    auto export_all = [&](const char* tag) {
        for (const char* chart : kChartNames)
            d({d.in_dir("export", chart, (std::string(chart) + tag + ".csv").c_str()).c_str()});
        ASSERT_EQ(d.error, "");
    };
    auto column = [&](const char* file, int c) {
        std::vector<double> values;
        for (const QStringList& row : csv(d.path(file)) | std::views::drop(1)) values.push_back(row.at(c).toDouble());
        return values;
    };
    auto points = [](const PointArray& a, double divisor = 1) {
        std::vector<double> v;
        for (int j = 1; j <= 51; ++j) v.push_back(a[j] / divisor);
        return v;
    };
    auto curve = [](const CurveArray& a, double divisor = 1) {
        return std::vector<double>(a.begin(), a.begin() + 25) | std::views::transform([=](double x) { return x / divisor; });
    };
    auto same = [](const auto& a, const auto& b) { return std::ranges::equal(a, b); };

    export_all("0");
    EXPECT_EQ(csv(d.path("profil0.csv"))[0].join(QLatin1Char(',')), QStringLiteral("point,x/c [-],y/c [-]"));
    EXPECT_TRUE(same(column("profil0.csv", 1), points(s.prof_x)) && same(column("profil0.csv", 2), points(s.prof_y)));
    EXPECT_EQ(csv(d.path("pressure0.csv"))[1].size(), 3);  // no Mach number: no corrected column
    EXPECT_TRUE(same(column("pressure0.csv", 2), points(s.cp_surf)));
    EXPECT_TRUE(same(column("Picture_CL0.csv", 1), curve(s.curve_cl)));
    EXPECT_TRUE(same(column("Picture_CM0.csv", 1), curve(s.curve_cm)));
    const CriticalMachs machs = *d.w->critical_machs();
    EXPECT_EQ(csv(d.path("Mcrit0.csv")).size(), machs.samples + 1u);
    EXPECT_EQ(column("Mcrit0.csv", 1).back(), mcrit_sample(s, machs.cp_min, machs.samples).cp_pg);

    // At Mach 0.5 the charts add the corrected curves; a typed Mach number
    // runs nothing, so the data stay those of the charts as drawn.
    d({"mach 50", "type-mach 0.7"});
    export_all("5");
    const double beta = std::sqrt(1 - 0.25);
    EXPECT_TRUE(same(column("pressure5.csv", 3), points(s.cp_surf, beta)));
    EXPECT_TRUE(same(column("Picture_CL5.csv", 2), curve(s.curve_cl, beta)));
    EXPECT_TRUE(same(column("Picture_CM5.csv", 2), curve(s.curve_cm, beta)));
    EXPECT_EQ(csv(d.path("Picture_CM5.csv"))[0].last(), QStringLiteral("CM/beta about x/c=0.25 M=0.5 [-]"));
    d({"alpha 3", d.in_dir("export", "Picture_CL", "typed.csv").c_str()});
    EXPECT_EQ(csv(d.path("typed.csv"))[0].last(), QStringLiteral("CL/beta M=0.7 [-]"));
    EXPECT_FALSE(contents(d.path("typed.csv")).contains(';'));
    QLocale::setDefault(QLocale::c());
}

TEST(ChartExport, ImagesOfChartsAndWindowAreWellFormed) {
    Driver d;
    d({"thickness 5", "camber 2", "alpha 4", "mach 50"});
    // A caption of each chart, in chart order (the critical Mach chart has none).
    const char* const captions[] = {"", "y/c", "1-Cp", "CL", "CM"};
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const char* chart = kChartNames[i];
        const char* caption = captions[i];
        SCOPED_TRACE(chart);
        const std::string base = std::string("chart-") + chart;
        d({d.in_dir("export", chart, (base + ".svg").c_str()).c_str(), d.in_dir("export", chart, (base + ".PDF").c_str()).c_str(),
           d.in_dir("export", chart, (base + ".png").c_str()).c_str()});
        ASSERT_EQ(d.error, "");
        EXPECT_TRUE(well_formed_svg(contents(d.path((base + ".svg").c_str())), QString::fromLatin1(caption)));
        const QByteArray pdf = contents(d.path((base + ".PDF").c_str()));
        EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
        // Twice the window's resolution.
        const QWidget& box = d.w->chart(static_cast<Chart>(i));
        EXPECT_EQ(QImage(d.path((base + ".png").c_str())).size(), box.size() * 2 * box.devicePixelRatioF());
    }
    d({d.in_dir("snapshot", "", "window.svg").c_str(), d.in_dir("snapshot", "", "window.pdf").c_str(),
       d.in_dir("snapshot", "", "window.png").c_str()});
    ASSERT_EQ(d.error, "");
    EXPECT_TRUE(well_formed_svg(contents(d.path("window.svg")), QStringLiteral("Mcr-PG")));
    EXPECT_TRUE(contents(d.path("window.pdf")).startsWith("%PDF-"));
    EXPECT_EQ(QImage(d.path("window.png")).size(), d.w->grab().size());
}

TEST(ChartExport, BadSuffixMissingFolderOrUnwritableFileStopsWithNothingWritten) {
    Driver d;
    d({"thickness 5"});
    ASSERT_TRUE(QDir(d.w.dir.path()).mkdir(QStringLiteral("taken.csv")));  // a folder where the file would go
    const struct {
        std::string line, error;
    } cases[] = {
        {d.in_dir("export", "profil", "x.txt"), "the suffix must be .csv, .png, .svg or .pdf"},
        {d.in_dir("export", "profil", "x"), "the suffix must be"},
        {d.in_dir("export", "pressure", "missing/x.csv"), "Cannot write"},
        {d.in_dir("export", "Picture_CL", "missing/x.svg"), "Cannot write"},
        {d.in_dir("export", "Mcrit", "taken.csv"), "Cannot write"},
        {d.in_dir("snapshot", "", "window.csv"), "the suffix must be .png, .svg or .pdf"},
        {d.in_dir("snapshot", "", "window.jpg"), "the suffix must be .png, .svg or .pdf"},
        {d.in_dir("snapshot", "", "missing/window.pdf"), "cannot write the snapshot"},
        {"export Nose x.csv", "export needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, not \"Nose\""},
        {"export profil", "export profil needs a file name"},
    };
    for (const auto& c : cases) {
        d.error.clear();
        d({c.line.c_str()});
        EXPECT_NE(d.error.find(c.error), std::string::npos) << c.line << " -> " << d.error;
    }
    // Nothing half-written: the folder holds the table and the blocking folder only.
    EXPECT_EQ(QDir(d.w.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({QStringLiteral("table.txt"), QStringLiteral("taken.csv")}));
    EXPECT_TRUE(QDir(d.path("taken.csv")).isEmpty());

    // The tool itself reports the line and exits with status 1.
    QTemporaryDir dir;
    write_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString(), example_rows());
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(JMACH_SCRIPT_TOOL));
    tool.write("thickness 5\nexport profil profile.ods\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains("line 2: profile.ods: the suffix must be"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("profile.ods"))));
}

TEST(ChartMenu, RightClickOpensTheFiveCommandsWithoutRecomputing) {
    Window w;
    w->HScroll_Thickness_Change();
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const Chart which = static_cast<Chart>(i);
        QMenu* menu = w->chart_menu(which);
        ASSERT_NE(menu, nullptr);
        QStringList texts, names;
        for (QAction* a : menu->actions()) texts << a->text(), names << a->objectName();
        EXPECT_EQ(texts.join(QLatin1Char('|')), QStringLiteral("Copy image|Copy data|Save image…|Save data…|Print…"));
        EXPECT_EQ(names.join(QLatin1Char('|')), QStringLiteral("copy_image|copy_data|save_image|save_data|print"));

        // The right button: the menu, and no recompute (a mark survives).
        PictureBox& box = w->chart(which);
        box.Line(-7.5f, -7.5f, 7.5f, 7.5f, rgb(1, 2, 3));
        const QPointF at(10, 10);
        QMouseEvent press(QEvent::MouseButtonPress, at, box.mapToGlobal(at), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, box.mapToGlobal(at), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QContextMenuEvent context(QContextMenuEvent::Mouse, at.toPoint(), box.mapToGlobal(at.toPoint()));
        QApplication::sendEvent(&box, &press);
        QApplication::sendEvent(&box, &release);
        QApplication::sendEvent(&box, &context);
        EXPECT_TRUE(menu->isVisible()) << kChartNames[i];
        menu->hide();
        EXPECT_NE(surface_json(box).find("#010203"), std::string::npos) << kChartNames[i];
    }
}

TEST(ChartMenu, CopySaveAndPrintThroughTheMenuActions) {
    Window w;
    w->HScroll_Thickness_Change();
    w->set_input(Input::mach, 40);
    auto run = [&](Chart which, const char* command) {
        w->chart_menu(which)->findChild<QAction*>(QString::fromLatin1(command))->trigger();
    };

    run(Chart::pressure, "copy_data");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), tsv_text(w->chart_table(Chart::pressure)));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("point\tx/c [-]\tCp [-]\tCp Prandtl-Glauert M=0.4 [-]\n")));
    run(Chart::Picture_CL, "copy_image");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), w->chart(Chart::Picture_CL).size() * 2);
    EXPECT_TRUE(well_formed_svg(mime->data(QStringLiteral("image/svg+xml")), QStringLiteral("CL")));

    // Save dialogs start in the documents folder, then where the last file went.
    QStringList starts;
    QString answer;
    w->set_file_dialog_hook([&](const QString&, const QString& start, const QString&) {
        starts << start;
        return answer;
    });
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    answer = w.dir.filePath(QStringLiteral("moment"));  // no suffix: the file type's
    run(Chart::Picture_CM, "save_data");
    answer = w.dir.filePath(QStringLiteral("profile.svg"));
    run(Chart::profil, "save_image");
    EXPECT_EQ(starts, QStringList({QDir(documents).filePath(QStringLiteral("Picture_CM.csv")),
                                   w.dir.filePath(QStringLiteral("profil.png"))}));
    EXPECT_EQ(contents(w.dir.filePath(QStringLiteral("moment.csv"))).toStdString(), csv_text(w->chart_table(Chart::Picture_CM)));
    EXPECT_TRUE(well_formed_svg(contents(answer), QStringLiteral("y/c")));
    answer.clear();  // cancelled: nothing happens
    run(Chart::Mcrit, "save_image");

    // Errors name the file and the reason; nothing is left behind.
    for (const char* bad : {"missing/x.png", "x.csv", "no-folder/x.csv"}) {
        answer = w.dir.filePath(QString::fromLatin1(bad));
        run(Chart::Mcrit, std::string(bad) == "no-folder/x.csv" ? "save_data" : "save_image");
        ASSERT_FALSE(w.messages.empty());
        EXPECT_NE(w.messages.back().find(QDir::toNativeSeparators(answer).toStdString()), std::string::npos) << w.messages.back();
        EXPECT_FALSE(QFile::exists(answer));
    }

    // Printing: the chart scaled to a PDF page; a printer that cannot start reports it.
    const QString printed = w.dir.filePath(QStringLiteral("printed.pdf"));
    w->set_print_hook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    });
    const std::size_t before = w.messages.size();
    run(Chart::pressure, "print");
    EXPECT_EQ(w.messages.size(), before);
    EXPECT_TRUE(contents(printed).startsWith("%PDF-"));
    w->set_print_hook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(w.dir.filePath(QStringLiteral("missing/printed.pdf")));
        return true;
    });
    run(Chart::pressure, "print");
    ASSERT_EQ(w.messages.size(), before + 1);
    EXPECT_NE(w.messages.back().find("missing"), std::string::npos);
}

TEST(Accessibility, EveryInteractiveControlHasANameADescriptionAndATooltip) {
    Window w;
    std::vector<std::string> faults;
    int interactive = 0;
    for (QWidget* widget : w->findChildren<QWidget*>()) {
        const bool control = widget->focusPolicy() != Qt::NoFocus || qobject_cast<PictureBox*>(widget) ||
                             qobject_cast<QMenuBar*>(widget) || qobject_cast<QMenu*>(widget);
        if (!control || (!widget->isVisibleTo(w.form.get()) && !qobject_cast<QMenu*>(widget))) continue;
        ++interactive;
        const std::string name = widget->objectName().toStdString();
        if (widget->accessibleName().isEmpty()) faults.push_back(name + ": no accessible name");
        // The Mach box's tooltip tells its state; its meaning is for screen readers.
        const bool menu = qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget);
        if (!menu && widget->objectName() != QLatin1String("Text_Moo") && widget->toolTip().isEmpty())
            faults.push_back(name + ": no tooltip");
        if (!menu && widget->accessibleDescription().isEmpty()) faults.push_back(name + ": no description");
    }
    EXPECT_EQ(interactive, 6 + 10 + 5 + 5 + 1);  // scroll bars, boxes, charts, their menus, the menu bar
    EXPECT_TRUE(faults.empty()) << [&] {
        std::string all;
        for (const std::string& f : faults) all += f + "\n";
        return all;
    }();
    // Named after the quantity, with meaning, unit and range.
    EXPECT_EQ(scroll(w, "HScroll_Thickness")->accessibleName(), QStringLiteral("Relative thickness δ"));
    EXPECT_TRUE(scroll(w, "HScroll_Thickness")->toolTip().contains(QStringLiteral("0 to 0.30 in steps of 0.01")));
    EXPECT_TRUE(text_box(w, "Text_Moo")->toolTip().isEmpty());
    EXPECT_TRUE(text_box(w, "Text_Moo")->accessibleDescription().contains(QStringLiteral("0 to 0.90")));
}

TEST(HiddenBySampling, TooltipsAndJsonKeysFollowTheSearch) {
    Driver d;
    // Before any profile: null.
    d({"about"});
    for (const char* key : {"cp_min_exact", "x_cp_min_exact", "mcrit_kt", "mcrit_la"}) EXPECT_TRUE(d.last().value(QLatin1String(key)).isNull()) << key;
    // The flat plate at zero incidence: a minimum (0) but no search.
    d({"np 11", "thickness 0"});
    EXPECT_EQ(d.last().value("cp_min_exact").toDouble(-1), 0.0);
    EXPECT_TRUE(d.last().value("mcrit_kt").isNull());
    // At 5 degrees its sharp leading edge has unbounded suction.
    d({"alpha 5"});
    EXPECT_TRUE(d.last().value("cp_min_exact").isNull());
    EXPECT_EQ(d.last().value("x_cp_min_exact").toDouble(-1), 0.0);
    EXPECT_TRUE(text_box(d.w, "Text_CpMin")->toolTip().contains(QStringLiteral("unbounded speed")));

    // A profile with thickness: every key a number, each the window's own value.
    d({"thickness 5"});
    const SurfaceMinimum exact = *d.w->exact_minimum();
    const CriticalMachs machs = *d.w->critical_machs();
    EXPECT_EQ(d.last().value("cp_min_exact").toDouble(), exact.cp);
    EXPECT_EQ(d.last().value("x_cp_min_exact").toDouble(), exact.x);
    EXPECT_TRUE(d.last().value("mcrit_kt").toDouble() == machs.kt && d.last().value("mcrit_la").toDouble() == machs.la);
    EXPECT_EQ(machs.kt, critical_mach(d.w->state(), machs.cp_min, CompressibilityRule::karman_tsien));
    EXPECT_TRUE(machs.la < machs.kt && machs.kt < machs.pg);
    const QString cp_tip = text_box(d.w, "Text_CpMin")->toolTip(), mcrit_tip = text_box(d.w, "Text_Mcrit")->toolTip();
    EXPECT_TRUE(cp_tip.contains(QStringLiteral("Sampled at the 11 points: ") + QString::fromStdString(rounded_text(machs.cp_min, 4))));
    EXPECT_TRUE(cp_tip.contains(QStringLiteral("Exact minimum of the continuous surface: %1 at x/c = %2")
                                    .arg(QString::fromStdString(rounded_text(exact.cp, 4)), QString::fromStdString(rounded_text(exact.x, 6)))));
    EXPECT_TRUE(mcrit_tip.contains(QStringLiteral("Kármán-Tsien: ") + QString::fromStdString(rounded_text(machs.kt, 4))) &&
                mcrit_tip.contains(QStringLiteral("Laitone: ") + QString::fromStdString(rounded_text(machs.la, 4))) &&
                mcrit_tip.contains(QStringLiteral("(shown): ") + text_box(d.w, "Text_Mcrit")->text()));
    // The flat plate at zero incidence runs no search, so the critical Mach
    // numbers keep their values with the box; the minimum follows.
    d({"alpha 0"});
    const CriticalMachs kept = *d.w->critical_machs();
    const QString kept_tip = text_box(d.w, "Text_Mcrit")->toolTip();
    EXPECT_NE(kept.kt, machs.kt);
    d({"thickness 0"});
    EXPECT_TRUE(d.last().value("mcrit_kt").toDouble() == kept.kt && d.last().value("mcrit_la").toDouble() == kept.la);
    EXPECT_EQ(text_box(d.w, "Text_Mcrit")->toolTip(), kept_tip);
    EXPECT_EQ(d.last().value("cp_min_exact").toDouble(-1), 0.0);
}

}  // namespace
}  // namespace jmach::testing
