#include "cli/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QStringList>
#include <QUrl>

namespace zelvo {

namespace {

QString qs(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
std::string bytesOf(const QString& text) { return QFile::encodeName(text).toStdString(); }

// The options the window toolkit reads itself. They are accepted and left to it, and never shown.
const QStringList kToolkitOptionsWithValue = {
    "platform",   "platformpluginpath", "platformtheme", "plugin",       "display", "style",
    "stylesheet", "qwindowgeometry",    "qwindowicon",   "qwindowtitle", "session"};
const QStringList kToolkitFlags = {"reverse"};

struct Options {
  QCommandLineOption help{{"h", "help"}, "Shows this help and ends."};
  QCommandLineOption version{{"v", "version"}, "Shows the version and ends."};
  QCommandLineOption importFrom{
      "import",
      "Adds the stations of a playlist to the library tv_lib.txt, before its end marker, "
      "skipping those already there.",
      "FILE"};
  QCommandLineOption exportTo{"export", "Writes the library as an extended M3U playlist in UTF-8.",
                              "FILE.m3u"};
  QCommandLineOption from{"from",
                          "With --export or --guide: uses the station file NAME of the "
                          "application folder instead of the library.",
                          "NAME"};
  QCommandLineOption guide{"guide",
                           "Reads the programme guides (those listed in tv_epg.txt and those "
                           "named by imported playlists) and prints, for every station of the "
                           "library that a guide has, the programme now and next."};
  QCommandLineOption check{"check",
                           "Checks every station of a station file or playlist without a window: "
                           "each address is played headless, and counts as live only when "
                           "pictures or sound were decoded. Counter templates are not checked.",
                           "FILE"};
  QCommandLineOption jobs{"jobs",
                          "With --check: how many stations are played at once (default: one for "
                          "each processor core).",
                          "N"};
  QCommandLineOption timeout{"timeout",
                             "With --check: the seconds each station may take (default: 10).", "S"};
  QCommandLineOption output{"output",
                            "With --check: writes the live stations to OUT, as extended M3U "
                            "when its name ends in .m3u or .m3u8, else as a station file.",
                            "OUT"};

  void describe(QCommandLineParser& parser) const {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Zelvo finds television stations broadcast over the internet and plays them.\n"
        "Without options it opens its window. Playlists (M3U, M3U8, PLS, ASX) given as FILE\n"
        "are added to its station list, each as a group of its own, and the first station\n"
        "plays.");
    parser.addOptions(
        {help, version, importFrom, exportTo, from, guide, check, jobs, timeout, output});
    for (const QString& name : kToolkitOptionsWithValue) {
      QCommandLineOption option(name, {}, "value");
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
    for (const QString& name : kToolkitFlags) {
      QCommandLineOption option(name);
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
    parser.addPositionalArgument("FILE", "Playlists to open in the window.", "[FILE...]");
  }
};

Command wrong(std::string problem) {
  Command command;
  command.action = Command::Action::Wrong;
  command.problem = std::move(problem);
  return command;
}

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// A value given twice is refused rather than one of them silently dropped.
bool givenTwice(const QCommandLineParser& parser, const QCommandLineOption& option) {
  return parser.values(option).size() > 1;
}

// Reads --check and the options that go with it into command; the problem, if any.
const char* checkProblem(const QCommandLineParser& parser, const Options& o, bool otherCommand,
                         Command& command) {
  const bool checking = parser.isSet(o.check);
  if (!checking) {
    for (const QCommandLineOption* option : {&o.jobs, &o.timeout, &o.output}) {
      if (parser.isSet(*option))
        return "--jobs, --timeout and --output are used only with --check.";
    }
    return nullptr;
  }
  if (otherCommand) return "--check cannot be used with --import, --export or --guide.";
  if (!command.files.empty())
    return "Playlists to open in the window cannot be given with --check.";
  command.action = Command::Action::Check;
  command.check.input = bytesOf(parser.value(o.check));
  command.check.output = bytesOf(parser.value(o.output));
  if (parser.isSet(o.jobs)) {
    bool whole = false;
    const int jobs = parser.value(o.jobs).toInt(&whole);
    if (!whole || jobs < 1) return "--jobs takes a whole number above 0.";
    command.check.jobs = jobs;
  }
  if (parser.isSet(o.timeout)) {
    bool number = false;
    const double seconds = parser.value(o.timeout).toDouble(&number);
    if (!number || !(seconds > 0) || seconds > 86400) {
      return "--timeout takes a number of seconds above 0 and at most 86400.";
    }
    command.check.timeoutSeconds = seconds;
  }
  if (command.check.input.empty()) return "--check takes the station file or playlist to check.";
  return nullptr;
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments) list << qs(argument);
  if (list.isEmpty()) list << "zelvo";

  QCommandLineParser parser;
  Options o;
  o.describe(parser);
  if (!parser.parse(list)) return wrong(parser.errorText().toStdString());

  Command command;
  if (parser.isSet(o.help)) {
    command.action = Command::Action::ShowHelp;
    return command;
  }
  if (parser.isSet(o.version)) {
    command.action = Command::Action::ShowVersion;
    return command;
  }
  // A file manager may hand files over as file: addresses.
  for (const QString& file : parser.positionalArguments()) {
    const QUrl url(file);
    command.files.push_back(bytesOf(url.isLocalFile() ? url.toLocalFile() : file));
  }

  for (const QCommandLineOption* option :
       {&o.importFrom, &o.exportTo, &o.from, &o.check, &o.jobs, &o.timeout, &o.output}) {
    if (givenTwice(parser, *option))
      return wrong("--" + option->names().constLast().toStdString() + " is given more than once.");
  }
  const bool importing = parser.isSet(o.importFrom);
  const bool exporting = parser.isSet(o.exportTo);
  const bool guiding = parser.isSet(o.guide);
  if (int(importing) + int(exporting) + int(guiding) > 1)
    return wrong("--import, --export and --guide cannot be used together.");
  if (parser.isSet(o.from) && !exporting && !guiding)
    return wrong("--from is used only with --export or --guide.");
  if ((importing || exporting || guiding) && !command.files.empty())
    return wrong(
        "Playlists to open in the window cannot be given with --import, --export or --guide.");
  if (const char* problem = checkProblem(parser, o, importing || exporting || guiding, command)) {
    return wrong(problem);
  }
  if (parser.isSet(o.check)) return command;
  if (importing) {
    command.action = Command::Action::Import;
    command.playlist = bytesOf(parser.value(o.importFrom));
  } else if (exporting || guiding) {
    command.action = exporting ? Command::Action::Export : Command::Action::Guide;
    if (exporting) command.playlist = bytesOf(parser.value(o.exportTo));
    command.from = bytesOf(parser.value(o.from));
    if (parser.isSet(o.from) && !isPlainFileName(command.from))
      return wrong("--from takes the name of a station file in the application folder.");
  }
  return command;
}

std::string helpText() {
  QCommandLineParser parser;
  Options o;
  o.describe(parser);
  return parser.helpText().toStdString();
}

}  // namespace zelvo
