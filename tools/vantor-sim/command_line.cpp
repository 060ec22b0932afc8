#include "command_line.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "support/nearest_name.h"
#include "support/utf8_path.h"

namespace vantor::sim {

namespace {

struct KnownName {
    std::string name;
    const CLI::App* owner;
};

std::vector<const CLI::App*> commandsOf(const CLI::App& app) {
    std::vector<const CLI::App*> commands;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        commands.push_back(command);
    }
    return commands;
}

// Every long option of the bench and of its commands, with where it belongs.
std::vector<KnownName> knownOptions(const CLI::App& app) {
    std::vector<KnownName> known;
    auto add = [&](const CLI::App& owner) {
        for (const CLI::Option* option : owner.get_options()) {
            for (const std::string& name : option->get_lnames()) {
                known.push_back({"--" + name, &owner});
            }
        }
    };
    add(app);
    for (const CLI::App* command : commandsOf(app)) {
        add(*command);
    }
    return known;
}

std::string withoutDashes(const std::string& name) {
    return name.substr(std::min(name.find_first_not_of('-'), name.size()));
}

std::string unknownOption(const CLI::App& app, const std::string& given) {
    const std::string name = given.substr(0, given.find('='));
    const std::vector<KnownName> known = knownOptions(app);
    // A command's option before its command, or with another command.
    std::vector<std::string> owners;
    for (const KnownName& option : known) {
        if (option.name == name && option.owner != &app) {
            owners.push_back(option.owner->get_name());
        }
    }
    if (!owners.empty()) {
        std::string commands = owners.front();
        for (size_t i = 1; i < owners.size(); ++i) {
            commands += (i + 1 == owners.size() ? " and " : ", ") + owners[i];
        }
        return name + " is an option of " + commands + ": give it after the command";
    }
    std::string message = "unknown option " + name;
    if (const auto near = nearestName(withoutDashes(name), known, [](const KnownName& option) {
            return withoutDashes(option.name);
        })) {
        const KnownName& meant = known[*near];
        message += "; did you mean " + meant.name +
                   (meant.owner == &app || meant.owner->parsed()
                        ? ""
                        : " (after " + meant.owner->get_name() + ")") +
                   "?";
    }
    return message;
}

std::optional<size_t> nearestCommand(const std::string& name,
                                     const std::vector<const CLI::App*>& commands) {
    return nearestName(name, commands, [](const CLI::App* command) { return command->get_name(); });
}

} // namespace

bool scenarioAlone(const CLI::App& app, const std::string& argument) {
    if (argument.empty() || argument.front() == '-') {
        return false;
    }
    const std::vector<const CLI::App*> commands = commandsOf(app);
    for (const CLI::App* command : commands) {
        if (command->check_name(argument)) {
            return false;
        }
    }
    std::error_code error;
    return std::filesystem::exists(pathFromUtf8(argument), error) ||
           !nearestCommand(argument, commands);
}

std::string usageErrorText(const CLI::App& app, const CLI::ParseError& error) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const std::vector<std::string> left = app.remaining(true);
        for (const std::string& argument : left) {
            if (argument.size() > 1 && argument.front() == '-') {
                return unknownOption(app, argument);
            }
        }
        const std::vector<const CLI::App*> commands = commandsOf(app);
        for (const std::string& argument : left) {
            if (const auto near = nearestCommand(argument, commands)) {
                return "unknown command " + argument + "; did you mean " +
                       commands[*near]->get_name() + "?";
            }
        }
    }
    return error.what();
}

void parseCommandLine(CLI::App& app, std::vector<std::string> arguments) {
    if (arguments.size() == 2 && scenarioAlone(app, arguments[1])) {
        arguments.insert(arguments.begin() + 1, "--scenario");
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    app.parse(static_cast<int>(argv.size()), argv.data());
}

} // namespace vantor::sim
