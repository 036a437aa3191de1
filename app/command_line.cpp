#include "app/command_line.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

#include "session/state_lines.h"

namespace jmach {

#ifndef JMACH_VERSION
#error "the build names the version (JMACH_VERSION)"
#endif
#ifndef JMACH_APP_ID
#error "the build names the application id (JMACH_APP_ID)"
#endif
#ifndef JMACH_ORGANIZATION_DOMAIN
#error "the build names the organisation's domain (JMACH_ORGANIZATION_DOMAIN)"
#endif

namespace {

// Qt's own options that QApplication takes out of argv, with and without a
// value; one or two leading dashes, a value after "=" or as the next word.
const QStringList kToolkitOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),          QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("session"),            QStringLiteral("display"),
    QStringLiteral("geometry"),        QStringLiteral("style"),              QStringLiteral("stylesheet")};
const QStringList kToolkitFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                   QStringLiteral("sync"),    QStringLiteral("qmljsdebugger")};

QStringList without_toolkit_options(const QStringList& arguments) {
    QStringList out{arguments.value(0)};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--")) {  // the rest are arguments, not options
            out += arguments.mid(i);
            break;
        }
        if (arg.size() > 1 && arg.startsWith(u'-')) {
            QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
            const qsizetype equals = name.indexOf(u'=');
            if (equals >= 0) name.truncate(equals);
            if (kToolkitFlags.contains(name)) continue;
            if (kToolkitOptionsWithValue.contains(name)) {
                if (equals < 0) ++i;  // the value is the next word
                continue;
            }
        }
        out += arg;
    }
    return out;
}

void print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

void set_application_identity() {
    QCoreApplication::setApplicationName(QStringLiteral("jmach"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JMACH_VERSION));
    // The domain only: an organisation name would put Qt's data folders one
    // level deeper (<XDG data>/<organisation>/jmach) than where the
    // installation keeps the table (<prefix>/share/jmach).
    QCoreApplication::setOrganizationDomain(QStringLiteral(JMACH_ORGANIZATION_DOMAIN));
}

QString application_id() { return QStringLiteral(JMACH_APP_ID); }

std::string page_address() {
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("jmach"), QStringLiteral("jmach"));
    const QString page = settings.value(QStringLiteral("page")).toString().trimmed();
    return page.isEmpty() ? std::string(kDefaultPageAddress) : page.toStdString();
}

QStringList program_arguments(int argc, char** argv) {
    QStringList out;
    for (int i = 0; i < argc; ++i) out += QString::fromLocal8Bit(argv[i]);
    return out;
}

CommandLine::CommandLine(QString program, QString syntax, const QString& description)
    : program_(std::move(program)),
      syntax_(std::move(syntax)),
      help_(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")),
      version_(QStringList{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit.")),
      table_option_(QStringLiteral("table"),
                    QStringLiteral("Read the airfoil table from FILE instead of looking for KATJO-D20G15.txt."),
                    QStringLiteral("FILE")) {
    // "-table x" reads as "--table x", and Qt's "-platform" as one name.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.setApplicationDescription(description);
    parser_.addOption(help_);
    parser_.addOption(version_);
    parser_.addOption(table_option_);
}

QString CommandLine::usage() const {
    // Qt's help text names the executable by its full path, or not at all
    // before the application object exists; the first line is ours.
    const QString text = parser_.helpText();
    QString first = QStringLiteral("Usage: ") + program_ + QStringLiteral(" [options]");
    if (!syntax_.isEmpty()) first += u' ' + syntax_;
    return first + text.mid(text.indexOf(u'\n'));
}

std::optional<int> CommandLine::read(const QStringList& arguments) {
    const QStringList args = leave_toolkit_options_ ? without_toolkit_options(arguments) : arguments;
    auto refuse = [&](const QString& fault) {
        print(stderr, program_ + QStringLiteral(": ") + fault + u'\n' + usage());
        return 2;
    };
    if (!parser_.parse(args)) return refuse(parser_.errorText());
    if (parser_.isSet(help_)) {
        print(stdout, usage());
        return 0;
    }
    if (parser_.isSet(version_)) {
        print(stdout, program_ + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return 0;
    }
    const QStringList tables = parser_.values(table_option_);
    if (tables.size() > 1) return refuse(QStringLiteral("--table given more than once."));
    if (tables.size() == 1) {
        if (tables.front().isEmpty()) return refuse(QStringLiteral("--table needs a file name."));
        table_ = std::filesystem::path(tables.front().toStdString());
    }
    const QStringList rest = parser_.positionalArguments();
    if (rest.size() > max_positional_)
        return refuse(QStringLiteral("unexpected argument '") + rest[max_positional_] + QStringLiteral("'."));
    return std::nullopt;
}

}  // namespace jmach
