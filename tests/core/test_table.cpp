// The airfoil table reader and the lookup, on small files written here.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "airfoil/profile.h"
#include "airfoil/table.h"

namespace jmach {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

#define EXPECT_CONTAINS(text, part) \
    EXPECT_NE(std::string(text).find(part), std::string::npos) << "in: " << (text)

// A fresh directory per test, removed afterwards.
class TableReader : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "jmach-table-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    // Loads `bytes` from a file named as the program names it.
    std::optional<std::string> load(const std::string& bytes, ModelState& s) {
        return load_airfoil_table(write(kTableFileName, bytes), s);
    }

    fs::path dir_;
};

// A state holding a known one-row table, to show that a failed load leaves
// it alone.
ModelState with_old_table() {
    ModelState s;
    s.table_rows = 1;
    s.table_thickness[1] = 0.5;
    s.table_camber[1] = 0.5;
    s.table_eps[1] = 0.5;
    s.table_mu[1] = 0.5;
    return s;
}

void expect_old_table(const ModelState& s) {
    EXPECT_EQ(s.table_rows, 1.0);
    EXPECT_EQ(s.table_thickness[1], 0.5);
    EXPECT_EQ(s.table_eps[1], 0.5);
    EXPECT_EQ(s.table_thickness[2], 0.0);
}

// Three rows: the reference every layout below must load to.
const char* const kOneRowPerLine =
    "12345.5\n"
    "3\n"
    "0.12,0.02,0.1,0.05,7\n"
    "0.07,0,0.06,0,-1\n"
    "0,0.01,0,0.02,0\n";

TEST_F(TableReader, LineStructureCarriesNoMeaning) {
    ModelState ref;
    ASSERT_EQ(load(kOneRowPerLine, ref), std::nullopt);
    EXPECT_EQ(ref.table_rows, 3.0);
    EXPECT_EQ(ref.table_thickness[1], 0.12);
    EXPECT_EQ(ref.table_camber[1], 0.02);
    EXPECT_EQ(ref.table_eps[1], 0.1);
    EXPECT_EQ(ref.table_mu[1], 0.05);
    EXPECT_EQ(ref.table_thickness[3], 0.0);
    EXPECT_EQ(ref.table_mu[3], 0.02);
    EXPECT_EQ(ref.table_thickness[4], 0.0);

    const std::string layouts[] = {
        // CRLF line ends
        "12345.5\r\n3\r\n0.12,0.02,0.1,0.05,7\r\n0.07,0,0.06,0,-1\r\n0,0.01,0,0.02,0\r\n",
        // rows split over several lines, blanks and tabs around commas
        "-8 3\n0.12 , 0.02\n0.1,\t0.05\n7\n0.07\n0 0.06\n0 -1 0 0.01 0\n0.02 0",
        // all rows on one line, no final line break
        "0,3,0.12,0.02,0.1,0.05,7,0.07,0,0.06,0,-1,0,0.01,0,0.02,0",
        // lone CR line ends, signs, exponents and odd spellings of numbers
        "1e3\r+3.\r.12,2e-2,1e-1,.05,7\r7e-2,-0,6e-2,0.0,-1\r0,0.010,0,+0.02,0",
        // a byte-order mark, and text after the last row is never read
        "\xEF\xBB\xBF" "0 3 0.12 0.02 0.1 0.05 7 0.07 0 0.06 0 -1 0 0.01 0 0.02 0 trailing, ,\"junk\" nan",
    };
    for (const std::string& text : layouts) {
        SCOPED_TRACE(text);
        ModelState s;
        ASSERT_EQ(load(text, s), std::nullopt);
        EXPECT_EQ(s.table_rows, ref.table_rows);
        EXPECT_EQ(s.table_thickness, ref.table_thickness);
        EXPECT_EQ(s.table_camber, ref.table_camber);
        EXPECT_EQ(s.table_eps, ref.table_eps);
        EXPECT_EQ(s.table_mu, ref.table_mu);
    }
}

TEST_F(TableReader, LookupTakesTheFirstMatchingRowWithExactKeys) {
    ModelState s;
    set_constants(s);
    ASSERT_EQ(load("0 4\n"
                   "0.07 0 0.06 0 0\n"
                   "0.12 0.02 0.1 0.05 0\n"
                   "0.12 0.02 0.2 0.09 0\n"   // duplicate: never reached
                   "12 2 0.3 0.3 0\n",        // percentages never match
                   s),
              std::nullopt);
    s.thickness = 0.12;
    s.camber = 0.02;
    ASSERT_TRUE(table_lookup(s));
    EXPECT_EQ(s.circle_eps, 0.1);
    EXPECT_EQ(s.circle_mu, 0.05);

    // 7/100 computed in double precision equals the double nearest 0.07.
    EXPECT_EQ(profil_hesapla(s, 7, 0, 11), ProfileOutcome::computed);
    EXPECT_EQ(s.circle_eps, 0.06);
    EXPECT_EQ(profil_hesapla(s, 12, 2, 11), ProfileOutcome::computed);
    EXPECT_EQ(s.circle_eps, 0.1);
}

TEST_F(TableReader, MissingPairChangesOnlyTheInputs) {
    ModelState s;
    set_constants(s);
    ASSERT_EQ(load("0 1 0.12 0.02 0.1 0.05 0", s), std::nullopt);
    ASSERT_EQ(profil_hesapla(s, 12, 2, 51), ProfileOutcome::computed);
    const ModelState before = s;
    EXPECT_EQ(profil_hesapla(s, 13, 2, 21), ProfileOutcome::not_in_table);
    EXPECT_EQ(s.thickness, 0.13);
    EXPECT_EQ(s.camber, 0.02);
    EXPECT_EQ(s.n_points, 21.0);
    EXPECT_EQ(s.circle_eps, before.circle_eps);
    EXPECT_EQ(s.n_intervals, before.n_intervals);
    EXPECT_EQ(s.half_intervals, before.half_intervals);
    EXPECT_EQ(s.prof_y, before.prof_y);
    EXPECT_EQ(s.map_deriv, before.map_deriv);
}

TEST_F(TableReader, EmptyTableLoadsAndFindsNothing) {
    ModelState s = with_old_table();
    ASSERT_EQ(load("99 0\n", s), std::nullopt);
    EXPECT_EQ(s.table_rows, 0.0);
    s.thickness = 0.5;  // the pair of the old row 1, now beyond the table
    s.camber = 0.5;
    EXPECT_FALSE(table_lookup(s));
    ModelState t;
    ASSERT_EQ(load("0 -0 1 2 3", t), std::nullopt);  // -0 is a row count of 0
    EXPECT_FALSE(std::signbit(t.table_rows));
    ASSERT_EQ(load("0 500.0 " + [] {
                  std::string rows;
                  for (int i = 0; i < 500; ++i) rows += "0.01 0.02 0.03 0.04 0.05\n";
                  return rows;
              }(),
                   t),
              std::nullopt);
    EXPECT_EQ(t.table_rows, 500.0);
    EXPECT_EQ(t.table_mu[500], 0.04);
}

TEST_F(TableReader, BadItemsNameFileLineAndText) {
    struct Case {
        std::string text;
        std::string line;  // "line N" in the message
        std::string what;  // the offending text and what is wrong with it
    };
    const Case cases[] = {
        {"0 1\n0.12 0.02\nabc 0.05 0\n", "line 3", "'abc' is not a number"},
        {"0 1\n0.12 0.02 0.1 0.05 0x10\n", "line 2", "'0x10' is not a number"},
        {"0 1\n0.12 0.02 0.1 0.05 1e\n", "line 2", "'1e' is not a number"},
        {"0 1\n\"NACA 0012\", 0.12 0.02 0.1 0.05\n", "line 2", "quoted text '\"NACA 0012\"' is not a number"},
        {"0 1\r\n0.12,,0.1,0.05,0\r\n", "line 2", "empty field"},
        {",0 1 0.12 0.02 0.1 0.05 0", "line 1", "empty field"},
        {"0 1\n0.12,\n , 0.02 0.1 0.05 0", "line 3", "empty field"},
        {"0 1\n0.12 0.02 nan 0.05 0\n", "line 2", "'nan' is not a finite number"},
        {"0 1\n0.12 0.02 0.1 -Infinity 0\n", "line 2", "'-Infinity' is not a finite number"},
        {"0 1\n0.12 0.02 0.1 0.05 1e999\n", "line 2", "'1e999' is not a finite number"},
        {"inf 1\n0.12 0.02 0.1 0.05 0\n", "line 1", "'inf' is not a finite number"},
        {"0\n\n-1\n", "line 3", "row count '-1' is negative"},
        {"0 2.5\n", "line 1", "row count '2.5' is not a whole number"},
        {"0 501\n", "line 1", "row count '501' is above the limit of 500 rows"},
        {"0 1e300\n", "line 1", "row count '1e300' is above the limit of 500 rows"},
        {"0 1\n0.12\x00 0.02 0.1 0.05 0\n"s, "line 2", "'0.12\\x00' is not a number"},
        {"0 1\n\xD9\xA3 0.02 0.1 0.05 0\n", "line 2", "'\xD9\xA3' is not a number"},
        {"0 1\n\xFF\xFE 0.02 0.1 0.05 0\n", "line 2", "'\\xFF\\xFE' is not a number"},
        {"0 1\n" + std::string(1000, '7') + "x 0.02 0.1 0.05 0\n", "line 2", "'" + std::string(40, '7') + "...' is not"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ModelState s = with_old_table();
        const auto err = load(c.text, s);
        ASSERT_TRUE(err.has_value());
        EXPECT_CONTAINS(*err, std::string("airfoil table \"") + (dir_ / kTableFileName).string() + "\", " +
                                    c.line + ": ");
        EXPECT_CONTAINS(*err, c.what);
        EXPECT_EQ(err->find('\n'), std::string::npos);
        expect_old_table(s);
    }
}

TEST_F(TableReader, FewerValuesThanAnnounced) {
    struct Case {
        std::string text;
        std::string what;
    };
    const Case cases[] = {
        {"", "the file ends after 0 values, before the row count"},
        {" \r\n\t\n", "the file ends after 0 values, before the row count"},
        {"7\n", "the file ends after 1 value (the last on line 1), before the row count"},
        {"0 2\n0.12 0.02 0.1 0.05 0\n0.13 0.02\n",
         "the file ends after 9 values (the last on line 3), but the row count '2' announces 12 (2 + 5 per row)"},
        // A comma is a separator: "0,02" is the two values 0 and 2.
        {"0 1\n0.12 0,02 0.1\n", "the file ends after 6 values (the last on line 2), but the row count '1'"},
        {"0 1\n0.12 0.02 0.1 0.05,\n", "the file ends after 6 values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ModelState s = with_old_table();
        const auto err = load(c.text, s);
        ASSERT_TRUE(err.has_value());
        EXPECT_CONTAINS(*err, (dir_ / kTableFileName).string());
        EXPECT_CONTAINS(*err, c.what);
        expect_old_table(s);
    }
}

TEST_F(TableReader, MissingUnreadableOrDirectory) {
    ModelState s = with_old_table();
    auto err = load_airfoil_table(dir_ / "absent.txt", s);
    ASSERT_TRUE(err);
    EXPECT_CONTAINS(*err, "absent.txt");
    EXPECT_CONTAINS(*err, "no such file");

    fs::create_directory(dir_ / kTableFileName);
    err = load_airfoil_table(dir_ / kTableFileName, s);
    ASSERT_TRUE(err);
    EXPECT_CONTAINS(*err, kTableFileName);
    EXPECT_CONTAINS(*err, "is a directory");

    const fs::path locked = write("locked.txt", "0 0\n");
    fs::permissions(locked, fs::perms::none);
    if (geteuid() != 0) {  // permissions do not stop root
        err = load_airfoil_table(locked, s);
        ASSERT_TRUE(err);
        EXPECT_CONTAINS(*err, "locked.txt");
        EXPECT_CONTAINS(*err, "cannot be opened");
    }
    expect_old_table(s);

    // The program's own name is relative: looked for in the working
    // directory, which the message names.
    const fs::path cwd = fs::current_path();
    fs::create_directory(dir_ / "empty");
    fs::current_path(dir_ / "empty");
    err = load_airfoil_table(kTableFileName, s);
    fs::current_path(cwd);
    ASSERT_TRUE(err);
    EXPECT_CONTAINS(*err, std::string("\"") + kTableFileName + "\": no such file in the working directory");
    EXPECT_CONTAINS(*err, "empty");
}

TEST(TableReaderParse, LargeInputs) {
    // Megabytes of blanks, a megabyte-long number.
    ModelState s;
    auto err = parse_airfoil_table(std::string(4 << 20, ' '), "big.txt", s);
    ASSERT_TRUE(err);
    EXPECT_CONTAINS(*err, "after 0 values");
    err = parse_airfoil_table("0 1 " + std::string(1 << 20, '9'), "big.txt", s);
    ASSERT_TRUE(err);
    EXPECT_CONTAINS(*err, "is not a finite number");
    EXPECT_EQ(parse_airfoil_table("0 1 0." + std::string(1 << 20, '0') + "1 0 0 0 0", "big.txt", s), std::nullopt);
    EXPECT_EQ(s.table_thickness[1], 0.0);
}

}  // namespace
}  // namespace jmach
