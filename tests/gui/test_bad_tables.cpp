// The window program started in a folder whose "KATJO-D20G15.txt" is broken
// in one way or another. Every time it must write its message naming the
// file and the fault, stop with exit code 1, and never reach the main window:
// once the window is up the program waits in the event loop, so a program
// that is still running after the deadline has opened it.
//
// The program runs as a real child process (fork and exec), on the offscreen
// platform, where the start-up message goes to standard error.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kTableName = "KATJO-D20G15.txt";
// Generous: the sanitizer build starts slowly on a busy machine.
constexpr auto kDeadline = std::chrono::seconds(30);
// What the child writes when it could not become the program at all.
constexpr const char* kLaunchFailure = "bad-table test: could not start the program: ";

struct ProgramRun {
    bool finished = false;  // false: still running at the deadline, killed
    bool exited = false;    // ended by exit(), not by a signal
    int exit_code = -1;
    int signal = 0;
    std::string err;        // standard error
};

struct Identity {
    uid_t uid;
    gid_t gid;
};

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// Starts the program in `dir` on the offscreen platform, optionally as
// another user, and waits for it up to the deadline.
ProgramRun run_program(const fs::path& dir, const fs::path& err_file, std::optional<Identity> as) {
    // The environment is built before fork: the child only calls
    // async-signal-safe functions.
    std::vector<std::string> env_store;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("QT_QPA_PLATFORM=", 0) == 0) continue;
        if (as && var.rfind("XDG_RUNTIME_DIR=", 0) == 0) continue;  // root's, not usable
        env_store.push_back(var);
    }
    env_store.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (auto& v : env_store) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string program = JMACH_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    const std::string dir_str = dir.string();

    const int err_fd = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int null_fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (err_fd < 0 || null_fd < 0) {
        ADD_FAILURE() << "cannot open the output files: " << std::strerror(errno);
        return {};
    }

    const pid_t pid = ::fork();
    if (pid == 0) {
        auto die = [&](const char* what) {
            const int saved = errno;
            (void)!::write(err_fd, kLaunchFailure, std::strlen(kLaunchFailure));
            (void)!::write(err_fd, what, std::strlen(what));
            (void)!::write(err_fd, ": ", 2);
            const char* reason = std::strerror(saved);
            (void)!::write(err_fd, reason, std::strlen(reason));
            ::_exit(125);
        };
        if (::dup2(null_fd, 0) < 0 || ::dup2(null_fd, 1) < 0 || ::dup2(err_fd, 2) < 0) die("dup2");
        if (::chdir(dir_str.c_str()) != 0) die("chdir");
        if (as) {
            if (::setgroups(0, nullptr) != 0) die("setgroups");
            if (::setgid(as->gid) != 0) die("setgid");
            if (::setuid(as->uid) != 0) die("setuid");
        }
        ::execve(program.c_str(), argv, envp.data());
        die("execve");
    }
    ::close(err_fd);
    ::close(null_fd);
    if (pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return {};
    }

    ProgramRun run;
    const auto until = std::chrono::steady_clock::now() + kDeadline;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            run.finished = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= until) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.exited = WIFEXITED(status);
    run.exit_code = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.err = read_file(err_file);
    return run;
}

// A fresh working folder for the program and a place for its output.
class BadTable : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "jmach-bad-table-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        root_ = pattern;
        dir_ = root_ / "work";
        fs::create_directory(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        if (!root_.empty()) {
            fs::permissions(dir_ / kTableName, fs::perms::owner_all, ec);
            fs::remove_all(root_, ec);
        }
    }

    fs::path table() const { return dir_ / kTableName; }

    ProgramRun start(std::optional<Identity> as = std::nullopt) {
        return run_program(dir_, root_ / "stderr.txt", as);
    }

    // The program stopped on its own, with its own error code and message.
    static void expect_refused(const ProgramRun& run, const std::string& fault) {
        ASSERT_TRUE(run.finished) << "still running after the deadline: the main window came up\n"
                                  << run.err;
        ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << "\n" << run.err;
        // 1 is the program's start-up failure; anything else (a sanitizer's
        // exit code, an abort) is a fault of its own.
        EXPECT_EQ(run.exit_code, 1) << run.err;
        // Qt may warn first (about its runtime folder, say); the program's
        // own message is the one line that starts with its name.
        std::vector<std::string> messages;
        std::size_t at = 0;
        while (at < run.err.size()) {
            const std::size_t end = std::min(run.err.find('\n', at), run.err.size());
            const std::string line = run.err.substr(at, end - at);
            if (line.rfind("jmach: ", 0) == 0) messages.push_back(line);
            at = end + 1;
        }
        ASSERT_EQ(messages.size(), 1u) << run.err;
        EXPECT_EQ(messages[0].rfind(std::string("jmach: airfoil table \"") + kTableName + "\"", 0), 0u)
            << messages[0];
        EXPECT_NE(messages[0].find(fault), std::string::npos) << "expected \"" << fault << "\" in:\n"
                                                                << messages[0];
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    }

    fs::path root_;
    fs::path dir_;
};

TEST_F(BadTable, MissingFile) {
    expect_refused(start(), "no such file in the working directory");
}

TEST_F(BadTable, DirectoryOfThatName) {
    fs::create_directory(table());
    expect_refused(start(), "is a directory");
}

TEST_F(BadTable, EmptyFile) {
    write_file(table(), "");
    expect_refused(start(), "the file ends after 0 values");
}

TEST_F(BadTable, BinaryGarbage) {
    std::string bytes = "\x7f" "ELF\x02\x01\x01";
    bytes += std::string(9, '\0');
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    write_file(table(), bytes);
    expect_refused(start(), "is not a number");
}

TEST_F(BadTable, FiveHundredAndOneRows) {
    std::string text = "1\n501\n";
    for (int i = 0; i < 501; ++i) text += "0.12, 0.02, 0.0945, 0.0431, 0\n";
    write_file(table(), text);
    expect_refused(start(), "above the limit of 500 rows");
}

TEST_F(BadTable, RowCountNotWhole) {
    write_file(table(), "1\n3.5\n0 0 0.1 0 0\n0.01 0 0.1 0 0\n0.02 0 0.1 0 0\n0.03 0 0.1 0 0\n");
    expect_refused(start(), "is not a whole number");
}

TEST_F(BadTable, RowCountNegative) {
    write_file(table(), "1\n-1\n0.12, 0.02, 0.0945, 0.0431, 0\n");
    expect_refused(start(), "is negative");
}

TEST_F(BadTable, QuotedString) {
    write_file(table(), "1\n2\n0.12, 0.02, 0.0945, 0.0431, 0\n\"NACA 0012\", 0, 0.05, 0, 0\n");
    expect_refused(start(), "quoted text");
}

TEST_F(BadTable, TwoCommas) {
    write_file(table(), "1\n2\n0.12, 0.02, 0.0945, 0.0431, 0\n0.07,, 0.0551, 0, 0\n");
    expect_refused(start(), "empty field");
}

TEST_F(BadTable, NotANumberValue) {
    write_file(table(), "1\n1\n0.12, 0.02, nan, 0.0431, 0\n");
    expect_refused(start(), "is not a finite number");
}

TEST_F(BadTable, TruncatedMidRow) {
    write_file(table(), "1\n2\n0.12, 0.02, 0.0945, 0.0431, 0\n0.07, 0, 0.05");
    expect_refused(start(), "the file ends after 10 values");
}

// As root the permission bits do not stop a read, so the program is run as
// an unprivileged user; where that is impossible the case is skipped.
TEST_F(BadTable, NoReadPermission) {
    write_file(table(), "1\n1\n0.12, 0.02, 0.0945, 0.0431, 0\n");
    fs::permissions(table(), fs::perms::none);

    std::optional<Identity> as;
    if (std::ifstream(table()).is_open()) {  // we can read it anyway
        if (::geteuid() != 0) GTEST_SKIP() << "this user reads files without read permission";
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr) GTEST_SKIP() << "no unprivileged user to run the program as";
        as = Identity{nobody->pw_uid, nobody->pw_gid};
        // The unprivileged program must reach its working folder.
        fs::permissions(root_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    const ProgramRun run = start(as);
    if (as && run.exited && run.exit_code == 125 && run.err.rfind(kLaunchFailure, 0) == 0)
        GTEST_SKIP() << "cannot start the program as user nobody: " << run.err;
    expect_refused(run, "cannot be opened (Permission denied)");
}

}  // namespace
