// The bench's commands: their options declared once, with their help texts, and the one given
// run with them.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "check/check_command.h"
#include "layout/layout_command.h"
#include "protect/protect_command.h"
#include "run_command.h"

namespace vantor::sim {

struct CommandLine {
    RunOptions run;
    bool printDefault = false;
    std::string settingsFile; // the file the settings command checks
    CheckOptions check;
    ProtectOptions protect;
    LayoutOptions layout;
};

// The commands given on the line, each set once parsed.
struct Commands {
    CLI::App* settings;
    CLI::App* check;
    CLI::App* protect;
    CLI::App* layout;
};

// Declares every option and command on app, each writing into line.
Commands declareCommandLine(CLI::App& app, CommandLine& line);

// The options that belong to a plain run, given with a command; empty when there are none.
std::string runOptionsGivenToCommand(const Commands& commands, const CommandLine& line);

// Runs the command given, or the plain run; returns its exit status. Errors throw.
int runCommand(const Commands& commands, CommandLine& line);

} // namespace vantor::sim
