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
                          "With --export: writes the station file NAME of the application "
                          "folder instead of the library.",
                          "NAME"};

  void describe(QCommandLineParser& parser) const {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Zelvo finds television stations broadcast over the internet and plays them.\n"
        "Without options it opens its window. Playlists (M3U, M3U8, PLS, ASX) given as FILE\n"
        "are added to its station list, each as a group of its own, and the first station\n"
        "plays.");
    parser.addOptions({help, version, importFrom, exportTo, from});
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

  for (const QCommandLineOption* option : {&o.importFrom, &o.exportTo, &o.from}) {
    if (givenTwice(parser, *option))
      return wrong("--" + option->names().constLast().toStdString() + " is given more than once.");
  }
  const bool importing = parser.isSet(o.importFrom);
  const bool exporting = parser.isSet(o.exportTo);
  if (importing && exporting) return wrong("--import and --export cannot be used together.");
  if (parser.isSet(o.from) && !exporting) return wrong("--from is used only with --export.");
  if ((importing || exporting) && !command.files.empty())
    return wrong("Playlists to open in the window cannot be given with --import or --export.");
  if (importing) {
    command.action = Command::Action::Import;
    command.playlist = bytesOf(parser.value(o.importFrom));
  } else if (exporting) {
    command.action = Command::Action::Export;
    command.playlist = bytesOf(parser.value(o.exportTo));
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
