// Every seed of the table reader's fuzz corpus and every input the fuzzer
// once crashed on, fed to the reader on every build (no clang needed).
// Seeds named good-* must load, bad-* must be refused, any-* are the
// reader's choice; all of them must keep the reader's contract.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "airfoil/table.h"
#include "fuzz/table_contract.h"

namespace {

namespace fs = std::filesystem;
using jmach::ModelState;

std::vector<fs::path> files_in(const char* folder) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(JMACH_SOURCE_DIR) / "tests" / folder;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytes_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
    ModelState state;
    std::optional<std::string> error;
};

Outcome parse_over_prefilled(const fs::path& file) {
    const ModelState before = jmach::table_contract::prefilled_state();
    Outcome out{before, std::nullopt};
    out.error = jmach::parse_airfoil_table(bytes_of(file), jmach::kTableFileName, out.state);
    EXPECT_EQ(jmach::table_contract::check(before, out.state, out.error, jmach::kTableFileName), "")
        << file.filename();
    return out;
}

bool starts_with(const fs::path& file, const char* prefix) {
    return file.filename().string().rfind(prefix, 0) == 0;
}

TEST(TableCorpus, EverySeedKeepsTheContractAndMeetsItsExpectation) {
    const auto seeds = files_in("fuzz_corpus");
    ASSERT_GT(seeds.size(), 20u);
    for (const auto& file : seeds) {
        SCOPED_TRACE(file.filename().string());
        const Outcome out = parse_over_prefilled(file);
        if (starts_with(file, "good-")) {
            EXPECT_FALSE(out.error) << *out.error;
        }
        if (starts_with(file, "bad-")) {
            EXPECT_TRUE(out.error) << "loaded a broken table";
        }
    }
}

TEST(TableCorpus, KeptFuzzReproducersKeepTheContract) {
    for (const auto& file : files_in("fuzz_regressions")) {
        SCOPED_TRACE(file.filename().string());
        parse_over_prefilled(file);
    }
}

// The same three rows written with CRLF, split across lines, all on one line,
// with tabs, with ", " and with trailing matter after the last row.
TEST(TableCorpus, EveryLayoutOfTheSameRowsLoadsTheSameTable) {
    const double expected[3][4] = {{0.12, 0.02, 0.0945, 0.0431},
                                   {0.07, 0, 0.0551, 0},
                                   {0.3, 0.15, 0.2843, 0.3342}};
    int layouts = 0;
    for (const auto& file : files_in("fuzz_corpus")) {
        if (!starts_with(file, "good-3rows-")) continue;
        SCOPED_TRACE(file.filename().string());
        ++layouts;
        const Outcome out = parse_over_prefilled(file);
        ASSERT_FALSE(out.error) << *out.error;
        ASSERT_EQ(out.state.table_rows, 3);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(out.state.table_thickness[i], expected[i - 1][0]) << "row " << i;
            EXPECT_EQ(out.state.table_camber[i], expected[i - 1][1]) << "row " << i;
            EXPECT_EQ(out.state.table_eps[i], expected[i - 1][2]) << "row " << i;
            EXPECT_EQ(out.state.table_mu[i], expected[i - 1][3]) << "row " << i;
        }
    }
    EXPECT_GE(layouts, 8);
}

TEST(TableCorpus, RowCountsAtBothEndsOfTheRange) {
    const fs::path dir = fs::path(JMACH_SOURCE_DIR) / "tests" / "fuzz_corpus";
    const Outcome empty = parse_over_prefilled(dir / "good-zero-rows.txt");
    ASSERT_FALSE(empty.error);
    EXPECT_EQ(empty.state.table_rows, 0);

    const Outcome full = parse_over_prefilled(dir / "good-500rows.txt");
    ASSERT_FALSE(full.error);
    EXPECT_EQ(full.state.table_rows, 500);
    EXPECT_EQ(full.state.table_thickness[113], 0.07);  // t = 7 %, c = 0 %
    EXPECT_EQ(full.state.table_camber[113], 0.0);
    EXPECT_EQ(full.state.table_thickness[500], 0.5);
}

}  // namespace
