// The browser edition's window against the desktop window: the same seeded
// actions on both, from a fresh start each time (so that first actions
// before any profile occur), over the real table and one with holes. After
// every action each value box, the three tooltips that tell a state, the
// Mach box's look, the exact surface minimum and the critical Mach numbers
// by every rule, the messages and every chart's scale and primitives must
// be identical.

#include <random>

#include "airfoil/table.h"
#include "test_window_support.h"
#include "web/web_form.h"

namespace jmach::testing {
namespace {

struct Bar {
    Input input;
    const char* name;
};
constexpr Bar kBars[] = {
    {Input::thickness, "HScroll_Thickness"}, {Input::camber, "HScroll_Camber"}, {Input::np, "HScroll_nP"},
    {Input::alpha, "HScroll_AlfaD"},         {Input::xm, "HScroll_xM"},         {Input::mach, "HScroll_Moo"},
};
const char* const kMachTexts[] = {"0.5", "0,7", "abc", "", "1", "-0.5", "0.95", " 0.3 ", "1e400", "0.999", "nan",
                                  "0.5x", "1e-5 m", "-0 \xff\xfe"};

void expect_same_drawing(const RecordingSurface& desktop, const RecordingSurface& web, const char* chart) {
    SCOPED_TRACE(chart);
    ASSERT_EQ(desktop.scale().has_value(), web.scale().has_value());
    if (desktop.scale()) {
        EXPECT_EQ(desktop.scale()->x1, web.scale()->x1);
        EXPECT_EQ(desktop.scale()->y2, web.scale()->y2);
    }
    ASSERT_EQ(desktop.primitives().size(), web.primitives().size());
    for (std::size_t i = 0; i < desktop.primitives().size(); ++i) {
        const Primitive &a = desktop.primitives()[i], &b = web.primitives()[i];
        ASSERT_TRUE(a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
                    a.r == b.r && a.colour == b.colour)
            << "primitive " << i;
    }
}

TEST(WebParity, SameTextsMessagesAndDrawingsAsTheDesktopWindow) {
    ensure_app();
    std::mt19937 random(1406);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (const bool real_table : {true, false}) {
        for (int run = 0; run < 12; ++run) {
            Window desktop(real_table ? std::nullopt : std::optional(example_rows()));
            const std::string table_file = real_table ? std::string(kTableFileName) : desktop.dir.filePath("table.txt").toStdString();
            std::ifstream in(table_file);
            const std::string table_text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            web::WebForm browser;
            ASSERT_FALSE(browser.Form_Load(table_text, table_file).has_value());

            for (int step = 0; step < 40; ++step) {
                std::string action;
                const int kind = pick(0, 9);
                if (kind < 6) {
                    const Bar& bar = kBars[pick(0, 5)];
                    const Form1::Range range = desktop->input_range(bar.input);
                    const int value = pick(0, 3) == 0 ? (pick(0, 1) ? range.minimum : range.maximum)
                                                      : pick(range.minimum, range.maximum);
                    action = std::string(bar.name) + " " + std::to_string(value);
                    // Like the scroll bar, the page raises a change only for a new value.
                    if (value != scroll(desktop, bar.name)->value()) {
                        ASSERT_TRUE(browser.scroll(bar.name, value));
                    }
                    desktop->set_input(bar.input, value);
                } else if (kind < 8) {
                    const char* text = kMachTexts[pick(0, std::size(kMachTexts) - 1)];
                    action = std::string("type ") + text;
                    desktop->type_mach(QString::fromUtf8(text));
                    browser.type_mach(text);
                } else {
                    const int chart = pick(0, 4);
                    action = std::string("click ") + kChartNames[chart];
                    ASSERT_TRUE(browser.click(kChartNames[chart]));
                    switch (static_cast<Chart>(chart)) {
                        case Chart::Mcrit: break;  // no handler
                        case Chart::profil: desktop->profil_Click(); break;
                        case Chart::pressure: desktop->pressure_Click(); break;
                        case Chart::Picture_CL: desktop->Picture_CL_Click(); break;
                        case Chart::Picture_CM: desktop->Picture_CM_Click(); break;
                    }
                }
                SCOPED_TRACE((real_table ? "real table, run " : "table with holes, run ") + std::to_string(run) +
                             ", step " + std::to_string(step) + ": " + action);
                for (const char* box : kValueBoxNames)
                    ASSERT_EQ(desktop->value_text(box).toStdString(), *browser.text(box)) << box;
                // The Mach box's tooltip is plain text; the other two are
                // rich text on the desktop, their plain form the accessible
                // description.
                QLineEdit* const mach = text_box(desktop, "Text_Moo");
                ASSERT_EQ(mach->toolTip().toStdString(), *browser.tooltip("Text_Moo"));
                ASSERT_EQ(mach->palette().color(QPalette::Base) == to_qcolor(kNoteBackground), browser.mach_noted());
                for (const char* box : {"Text_CpMin", "Text_Mcrit"})
                    ASSERT_EQ(text_box(desktop, box)->accessibleDescription().toStdString(), *browser.tooltip(box)) << box;
                const auto &exact = desktop->exact_minimum(), &web_exact = browser.exact_minimum();
                ASSERT_EQ(exact.has_value(), web_exact.has_value());
                if (exact) {
                    ASSERT_TRUE(exact->cp == web_exact->cp && exact->x == web_exact->x);
                }
                const auto &machs = desktop->critical_machs(), &web_machs = browser.critical_machs();
                ASSERT_EQ(machs.has_value(), web_machs.has_value());
                if (machs) {
                    ASSERT_TRUE(machs->kt == web_machs->kt && machs->la == web_machs->la);
                }
                ASSERT_EQ(std::exchange(desktop.messages, {}), browser.take_messages());
                for (std::size_t i = 0; i < kChartNames.size(); ++i)
                    expect_same_drawing(desktop->chart(static_cast<Chart>(i)), *browser.chart(kChartNames[i]),
                                        kChartNames[i]);
            }
        }
    }
}

}  // namespace
}  // namespace jmach::testing
