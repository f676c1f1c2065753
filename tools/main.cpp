// qovaicu: the library's services on the command line.
#include "common.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    CLI::App app("qovaicu: Unicode text services of QOVAicuC on the command line");
    app.require_subcommand(1);
    app.footer(
        "Values come from the arguments or, when there are none, one per line from stdin.\n"
        "Exit status: 0 done; 1 a value could not be processed (the others were);\n"
        "2 the command line is wrong (nothing was processed).\n"
        "'qovaicu COMMAND --help' describes each command.");
    const qovaicu::Command commands[] = {
        qovaicu::addNumberCommand(app), qovaicu::addParseCommand(app),
        qovaicu::addDateCommand(app),   qovaicu::addRegexCommand(app),
        qovaicu::addConvertCommand(app),
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? qovaicu::kOk : qovaicu::kUsage;
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
