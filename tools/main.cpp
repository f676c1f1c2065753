// qovaicu: the library's services on the command line.
#include "common.h"

#include <unicode/uversion.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

namespace {

// The long options that `command` offers, e.g. "--precision".
std::vector<std::string> longOptions(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options())
        for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    return names;
}

// After CLI11's own message for a command line it rejected: the nearest option to each unknown
// one, e.g. "--precison" -> "--precision".
void suggestOptions(const CLI::App& app, int argc, char** argv) {
    const CLI::App* command = &app;
    for (const CLI::App* sub : app.get_subcommands()) command = sub;
    const std::vector<std::string> names = longOptions(*command);
    for (int i = 2; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--") break;
        if (word.rfind("--", 0) != 0) continue;
        word = word.substr(0, word.find('='));
        if (std::find(names.begin(), names.end(), word) != names.end()) continue;
        const std::string near = qovaicu::nearest(word, names);
        if (!near.empty()) std::fprintf(stderr, "qovaicu: did you mean %s?\n", near.c_str());
    }
}

int version() {
    UVersionInfo icu;
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuText);
    qovaicu::Output& out = qovaicu::Output::get();
    out.write(std::string("qovaicu " QOVAICU_VERSION "\nQOVAicuC " QOVAICUC_VERSION_STRING "\nICU ") + icuText + "\n");
    return out.finish("--version", qovaicu::kOk);
}

// CLI11's message with the command's name before it, each overlong word in it cut.
void reportParseError(const CLI::App& app, const CLI::ParseError& e) {
    std::string command = "";
    for (const CLI::App* sub : app.get_subcommands()) command = sub->get_name();
    std::istringstream words(e.what());
    std::string message;
    for (std::string word; words >> word;) message += (message.empty() ? "" : " ") + (word.size() > 120 ? qovaicu::clip(word) : word);
    std::fprintf(stderr, "qovaicu%s%s: %s\n", command.empty() ? "" : " ", command.c_str(), message.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("qovaicu: Unicode text services of QOVAicuC on the command line");
    app.require_subcommand(1);
    bool showVersion = false;
    app.add_flag("--version", showVersion, "Print the versions of qovaicu, QOVAicuC and ICU");
    app.footer(
        "Exit status: 0 done (regex: something matched); 1 a value failed or nothing matched\n"
        "(the other values were processed); 2 the command line is wrong, nothing was processed;\n"
        "3 (parse) a number was read, but its type cannot hold it or text follows it.\n"
        "'qovaicu COMMAND --help' describes each command.");
    const qovaicu::Command commands[] = {
        qovaicu::addNumberCommand(app), qovaicu::addParseCommand(app),
        qovaicu::addDateCommand(app),   qovaicu::addRegexCommand(app),
        qovaicu::addConvertCommand(app), qovaicu::addListCommand(app),
    };
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return version();
    // The first word that is no option names the command.
    int first = 1;
    while (first < argc && argv[first][0] == '-') ++first;
    if (first < argc) {
        std::vector<std::string> names;
        for (const qovaicu::Command& command : commands) names.push_back(command.app->get_name());
        if (std::find(names.begin(), names.end(), argv[first]) == names.end()) {
            const std::string near = qovaicu::nearest(argv[first], names);
            std::fprintf(stderr, "qovaicu: unknown command '%s'%s\n", qovaicu::clip(argv[first]).c_str(),
                         near.empty() ? "; see qovaicu --help" : (" (did you mean " + near + "?)").c_str());
            return qovaicu::kUsage;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help
        reportParseError(app, e);
        suggestOptions(app, argc, argv);
        std::string command;
        for (const CLI::App* sub : app.get_subcommands()) command = sub->get_name() + " ";
        std::fprintf(stderr, "qovaicu: see qovaicu %s--help\n", command.c_str());
        return qovaicu::kUsage;
    }
    try {
        for (const qovaicu::Command& command : commands)
            if (command.app->parsed()) return command.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qovaicu: %s\n", e.what());
        return qovaicu::kBadValue;
    }
    return qovaicu::kUsage;
}
