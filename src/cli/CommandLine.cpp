#include "cli/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QStringList>

namespace zelvo {

namespace {

QString qs(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

// The options the window toolkit reads itself. They are accepted and left to it, and never shown.
const QStringList kToolkitOptionsWithValue = {
    "platform",   "platformpluginpath", "platformtheme", "plugin",       "display", "style",
    "stylesheet", "qwindowgeometry",    "qwindowicon",   "qwindowtitle", "session"};
const QStringList kToolkitFlags = {"reverse"};

struct Options {
  QCommandLineOption help{{"h", "help"}, "Shows this help and ends."};
  QCommandLineOption version{{"v", "version"}, "Shows the version and ends."};

  void describe(QCommandLineParser& parser) const {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Zelvo finds television stations broadcast over the internet and plays them.\n"
        "Without options it opens its window.");
    parser.addOptions({help, version});
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
  }
};

Command wrong(std::string problem) {
  Command command;
  command.action = Command::Action::Wrong;
  command.problem = std::move(problem);
  return command;
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

  return command;
}

std::string helpText() {
  QCommandLineParser parser;
  Options o;
  o.describe(parser);
  return parser.helpText().toStdString();
}

}  // namespace zelvo
