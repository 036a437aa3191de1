#pragma once
// The command lines of jmach and jmach-script, and the identity both give
// the application. Everything is read before a window system is needed, so
// --help and --version work where no display is; nothing here needs more
// of Qt than its core.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>

namespace jmach {

// Name "jmach", the version of the build and the organisation's domain, so
// that the programs and Qt's own folders (data in <XDG data>/jmach) name
// the same program. The window adds the desktop entry's id.
void set_application_identity();

// The application id shared by the desktop entry, the icon and the metainfo.
QString application_id();

// The address where the browser edition is published, which links to a
// state start with: the setting "page" of jmach.ini in the user's or the
// system's configuration folder (~/.config/jmach/, /etc/xdg/jmach/), else
// the project's own address.
std::string page_address();

// The arguments as the program received them, program name first.
QStringList program_arguments(int argc, char** argv);

class CommandLine {
public:
    // `program` names the program in its messages; `syntax` is what follows
    // "[options]" in the usage line ("" for none).
    CommandLine(QString program, QString syntax, const QString& description);

    // For the program's own options and arguments.
    QCommandLineParser& parser() { return parser_; }
    void set_max_positional(int count) { max_positional_ = count; }
    // Qt's own options (-platform, -style, ...) are left for QApplication,
    // which takes them out of argv itself.
    void leave_toolkit_options() { leave_toolkit_options_ = true; }

    // Reads the arguments (program name first). Returns the exit status when
    // the program must stop here: 0 after --help or --version (printed on
    // standard output), 2 after a command line it cannot use (the fault and
    // the usage on standard error). nullopt: run.
    std::optional<int> read(const QStringList& arguments);

    std::optional<std::filesystem::path> table() const { return table_; }
    QStringList positional() const { return parser_.positionalArguments(); }
    QString usage() const;

private:
    QString program_, syntax_;
    QCommandLineParser parser_;
    QCommandLineOption help_, version_, table_option_;
    int max_positional_ = 0;
    bool leave_toolkit_options_ = false;
    std::optional<std::filesystem::path> table_;
};

}  // namespace jmach
