#include "cli/CliHelp.h"

#include <algorithm>
#include <cctype>

#include "cli/SendKeys.h"
#include "protocol/CommandSet.h"

namespace {

std::string Shown(const CliOption& o) {
    std::string text = o.shortName != 0 ? std::string("-") + o.shortName + ", " : "";
    text += std::string("--") + o.name;
    if (o.valueName != nullptr) {
        text += std::string(" ") + o.valueName;
    }
    return text;
}

std::string OptionLines(std::span<const CliOption> options) {
    size_t width = 0;
    for (const CliOption& o : options) {
        width = std::max(width, Shown(o).size());
    }
    std::string text;
    for (const CliOption& o : options) {
        const std::string shown = Shown(o);
        text += "  " + shown + std::string(width - shown.size() + 2, ' ') + o.help + "\n";
    }
    return text;
}

std::string Indented(const char* lines) {
    std::string text = "  ";
    for (const char* c = lines; *c != '\0'; ++c) {
        text += *c;
        if (*c == '\n') {
            text += "  ";
        }
    }
    return text + "\n";
}

}  // namespace

std::string UsageLine(const CliCommand* command) {
    if (command == nullptr) {
        return "Usage: tallisk-cli [GLOBAL OPTIONS] COMMAND [OPTIONS] [ARGS]";
    }
    std::string line = std::string("Usage: tallisk-cli [GLOBAL OPTIONS] ") + command->name;
    if (!command->options.empty()) {
        line += " [OPTIONS]";
    }
    if (*command->arguments != '\0') {
        line += std::string(" ") + command->arguments;
    }
    return line;
}

std::string ProgramHelp() {
    std::string text = UsageLine(nullptr) +
                       "\nConfigures and tests a cheque reader without a window. The global "
                       "options stand before or after the command.\n\nCommands:\n";
    size_t width = 0;
    for (const CliCommand& c : CliCommands()) {
        width = std::max(width, std::string(c.name).size());
    }
    for (const CliCommand& c : CliCommands()) {
        text += std::string("  ") + c.name +
                std::string(width - std::string(c.name).size() + 2, ' ') + c.summary + "\n";
    }
    text += "\nOptions:\n" + OptionLines(GlobalOptions());
    text +=
        "\nA command's own options and examples: tallisk-cli help COMMAND (or COMMAND --help).\n";
    return text + "\n" + kExitStatusText + "\n";
}

std::string CommandHelp(const CliCommand& command) {
    std::string summary = command.summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    std::string text = UsageLine(&command) + "\n" + summary + ".\n";
    if (!command.options.empty()) {
        text += "\nOptions:\n" + OptionLines(command.options);
    }
    if (std::string_view(command.name) == "send") {
        text += "\nCommands:\n" + SendCommandList();
        text +=
            "\nEvery setting the command carries is given, as KEY=VALUE or from a file.\n"
            "A command's settings and their values: tallisk-cli send COMMAND --help.\n";
    }
    text += std::string("\nGlobal options (tallisk-cli --help): ") +
            (command.onReader ? "--device, --serial, --all, --json, --trace." : "--json.") + "\n";
    text += "\nExamples:\n" + Indented(command.examples);
    return text;
}

std::string SendCommandHelp(int32_t commandType) {
    const CommandSpec& entry = kCommandSet[static_cast<size_t>(commandType)];
    std::string text = std::string("Usage: tallisk-cli [GLOBAL OPTIONS] send ") + entry.name;
    const std::string keys = SendKeyLines(commandType);
    text += keys.empty() ? "\n" : " KEY=VALUE...\n";
    text +=
        "Sends ESC '" + std::string(1, static_cast<char>(entry.letter)) + "'" +
        (keys.empty() ? ", which carries no setting.\n"
                      : " with the settings below, every one of them given.\n\nSettings:\n" + keys);
    text += "\nExample:\n  " + SendExample(commandType) + "\n";
    return text;
}
