// The airfoil table reader and the lookup: worked lookups and messages on
// small texts written here, file errors on real files, and every seed of the
// fuzz corpus and every input the fuzzer once crashed on, replayed on every
// build (no clang needed).

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "airfoil/profile.h"
#include "fuzz/table_contract.h"

namespace jmach {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(TableReader, LookupTakesTheFirstRowWithExactlyEqualKeys) {
    ModelState s;
    set_constants(s);
    // The third row repeats the second's keys and is never reached; percentages never match.
    const char* table = "0 4\n0.07 0 0.06 0 0\n0.12 0.02 0.1 0.05 0\n0.12 0.02 0.2 0.09 0\n12 2 0.3 0.3 0\n";
    ASSERT_EQ(parse_airfoil_table(table, kTableFileName, s), std::nullopt);
    // 7/100 computed in double precision equals the double nearest 0.07.
    EXPECT_TRUE(profil_hesapla(s, 7, 0, 11) == ProfileOutcome::computed && s.circle_eps == 0.06);
    ASSERT_EQ(profil_hesapla(s, 12, 2, 51), ProfileOutcome::computed);
    EXPECT_TRUE(s.circle_eps == 0.1 && s.circle_mu == 0.05);

    // A missing pair changes only the inputs; the profile stays as it was.
    ModelState expected = s;
    expected.thickness = 0.13;
    expected.n_points = 21;
    EXPECT_EQ(profil_hesapla(s, 13, 2, 21), ProfileOutcome::not_in_table);
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0);

    // N = 0 loads an empty table; the old rows beyond it are never looked up.
    ASSERT_EQ(parse_airfoil_table("99 0\n", kTableFileName, s), std::nullopt);
    ASSERT_EQ(s.table_rows, 0.0);
    EXPECT_EQ(profil_hesapla(s, 7, 0, 11), ProfileOutcome::not_in_table);
}

TEST(TableReader, BadTableNamesFileLineAndTextAndKeepsTheOldTable) {
    const std::pair<std::string, std::string> cases[] = {  // the text, and what the message must say
        {"0 1\n0.12 0.02\nabc 0.05 0\n", ", line 3: 'abc' is not a number"},
        {"0 1\n0.12 0.02 0.1 0.05 0x10\n", ", line 2: '0x10' is not a number"},
        {"0 1\n\"NACA 0012\", 0.12 0.02 0.1 0.05\n", ", line 2: quoted text '\"NACA 0012\"' is not a number"},
        {"0 1\r\n0.12,,0.1,0.05,0\r\n", ", line 2: an empty field"},
        {",0 1 0.12 0.02 0.1 0.05 0", ", line 1: an empty field"},
        {"0 1\n0.12,\n , 0.02 0.1 0.05 0", ", line 3: an empty field"},
        {"0 1\n0.12 0.02 nan 0.05 0\n", ", line 2: 'nan' is not a finite number"},
        {"0 1\n0.12 0.02 0.1 0.05 1e999\n", ", line 2: '1e999' is not a finite number"},
        {"0\n\n-1\n", ", line 3: the row count '-1' is negative"},
        {"0 2.5\n", ", line 1: the row count '2.5' is not a whole number"},
        {"0 501\n", ", line 1: the row count '501' is above the limit of 500 rows"},
        {"0 1\n0.12\x00 0.02 0.1 0.05 0\n"s, ", line 2: '0.12\\x00' is not a number"},
        {"0 1\n\xFF\xFE 0.02 0.1 0.05 0\n", ", line 2: '\\xFF\\xFE' is not a number"},
        {"0 1\n" + std::string(1000, '7') + "x 0.02 0.1 0.05 0\n",  // shortened in the message
         ", line 2: '" + std::string(40, '7') + "...' is not"},
        {"", ": the file ends after 0 values, before the row count"},
        {"7\n", ": the file ends after 1 value (the last on line 1), before the row count"},
        {"0 2\n0.12 0.02 0.1 0.05 0\n0.13 0.02\n",
         ": the file ends after 9 values (the last on line 3), but the row count '2' announces 12 (2 + 5 per row)"},
        // A comma is a separator: "0,02" is the two values 0 and 2.
        {"0 1\n0.12 0,02 0.1\n", ": the file ends after 6 values (the last on line 2), but the row count '1'"}};
    const std::string file = "/data/" + std::string(kTableFileName);
    const ModelState old = table_contract::prefilled_state();
    for (const auto& [text, what] : cases) {
        ModelState s = old;
        const std::string err = parse_airfoil_table(text, file, s).value_or("loaded");
        EXPECT_TRUE(err.find('\n') == err.npos && err.find("airfoil table \"" + file + "\"" + what) != err.npos) << err;
        EXPECT_EQ(table_contract::check(old, s, err, file), "") << text.substr(0, 80);
    }
}

TEST(TableReader, MissingUnreadableOrDirectory) {
    const fs::path dir = fs::temp_directory_path() / ("jmach-table-" + std::to_string(getpid()));
    fs::create_directories(dir / "empty");
    const ModelState old = table_contract::prefilled_state();
    ModelState s = old;
    auto expect_error = [&](const fs::path& path, const std::string& what) {
        const std::string err = load_airfoil_table(path, s).value_or("loaded");
        EXPECT_NE(err.find("\"" + path.string() + "\": " + what), std::string::npos) << err;
        EXPECT_EQ(table_contract::check(old, s, err, path.string()), "");
    };
    expect_error(dir / "absent.txt", "no such file");
    expect_error(dir, "is a directory");
    std::ofstream(dir / "locked.txt") << "0 0\n";
    fs::permissions(dir / "locked.txt", fs::perms::none);
    if (geteuid() != 0) expect_error(dir / "locked.txt", "cannot be opened");  // permissions do not stop root

    // The program's own name is relative: looked for in the working
    // directory, which the message names.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir / "empty");
    expect_error(kTableFileName, "no such file in the working directory " + fs::current_path().string());
    fs::current_path(cwd);
    fs::remove_all(dir);
}

// Seeds named good-* must load, bad-* must be refused, any-* are the reader's
// choice; all of them must keep the reader's contract. The good-3rows-* seeds
// are one table in every layout: CRLF, rows split across lines, all on one
// line, tabs, ", ", any first value, matter after the last row.
TEST(TableReader, EveryFuzzSeedKeepsTheContractAndMeetsItsExpectation) {
    const double three_rows[3][4] = {{0.12, 0.02, 0.0945, 0.0431}, {0.07, 0, 0.0551, 0}, {0.3, 0.15, 0.2843, 0.3342}};
    int layouts = 0;
    for (const char* folder : {"fuzz_corpus", "fuzz_regressions"}) {
        const fs::path dir = fs::path(JMACH_SOURCE_DIR) / "tests" / folder;
        if (!fs::is_directory(dir)) continue;  // no reproducers kept yet
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes(std::istreambuf_iterator<char>(in), {});
            const ModelState before = table_contract::prefilled_state();
            ModelState s = before;
            std::string warning;
            const auto error = parse_airfoil_table(bytes, kTableFileName, s, &warning);
            EXPECT_EQ(table_contract::check(before, s, error, kTableFileName, warning), "");
            EXPECT_TRUE(name.starts_with("any-") || error.has_value() == name.starts_with("bad-"))
                << error.value_or("loaded");
            if (!name.starts_with("good-3rows-")) continue;
            ++layouts;
            ASSERT_EQ(s.table_rows, 3);
            for (int i = 1; i <= 3; ++i)
                for (int c = 0; c < 4; ++c)
                    EXPECT_EQ((s.*table_contract::kColumns[c])[i], three_rows[i - 1][c]) << i << ", " << c;
        }
    }
    EXPECT_GE(layouts, 8);  // and so the corpus was found
}

}  // namespace
}  // namespace jmach
