// Saving replaces only regular files: whatever else a name stands for is
// refused with its reason and left as it was, with nothing left beside it.
// (The program's own standard output is refused end to end, by the script
// tool's stream tests.)
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/file_write.h"

namespace fs = std::filesystem;
using jmach::write_whole_file;

namespace {

class FileWrite : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("jmach-write-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string at(const char* name) const { return (dir_ / name).string(); }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static mode_t mode(const std::string& file) {
        struct stat st {};
        EXPECT_EQ(::lstat(file.c_str(), &st), 0);
        return st.st_mode;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

TEST_F(FileWrite, NewAndReplacedRegularFilesKeepTheirModeAndLinksStayLinks) {
    const std::string file = at("a.csv");
    ASSERT_FALSE(write_whole_file(file, "one"));
    ::chmod(file.c_str(), 0640);
    ASSERT_FALSE(write_whole_file(file, "two"));
    EXPECT_EQ(read(file), "two");
    EXPECT_EQ(mode(file) & 07777, 0640u);

    const std::string link = at("link.csv");
    fs::create_symlink(file, link);
    ASSERT_FALSE(write_whole_file(link, "three"));
    EXPECT_TRUE(S_ISLNK(mode(link)));
    EXPECT_EQ(read(file), "three");
    EXPECT_EQ(mode(file) & 07777, 0640u);
    EXPECT_EQ(entries(), 2u);
}

TEST_F(FileWrite, ReadOnlyFilesAreRefusedByTheirBitsEvenForRoot) {
    const std::string file = at("ro.csv");
    ASSERT_FALSE(write_whole_file(file, "kept"));
    ::chmod(file.c_str(), 0444);
    EXPECT_EQ(write_whole_file(file, "lost").value_or(""), "is read-only");
    EXPECT_EQ(read(file), "kept");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWrite, PipesLoopsAndDanglingLinksAreRefusedAndLeftAlone) {
    const std::string fifo = at("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    EXPECT_EQ(write_whole_file(fifo, "x").value_or(""), "is a named pipe");
    EXPECT_TRUE(S_ISFIFO(mode(fifo)));

    const std::string to_fifo = at("to-fifo.csv");
    fs::create_symlink(fifo, to_fifo);
    EXPECT_EQ(write_whole_file(to_fifo, "x").value_or(""), "is a named pipe");
    EXPECT_TRUE(S_ISLNK(mode(to_fifo)));

    const std::string loop = at("loop.csv");
    fs::create_symlink(loop, loop);
    EXPECT_EQ(write_whole_file(loop, "x").value_or(""), "Too many levels of symbolic links");
    EXPECT_TRUE(S_ISLNK(mode(loop)));

    const std::string dangling = at("dangling.csv");
    fs::create_symlink(at("nowhere/x.csv"), dangling);
    EXPECT_TRUE(write_whole_file(dangling, "x"));
    EXPECT_TRUE(write_whole_file(dir_.string(), "x"));
    EXPECT_EQ(entries(), 4u);
}

}  // namespace
