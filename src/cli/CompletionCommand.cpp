// completion bash|zsh: the shell's completion of tallisk-cli, made from the
// tables of commands, options and send's commands and keys, so that it
// cannot fall behind them.
#include <cstdio>
#include <string>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/CommandRuns.h"
#include "cli/SendKeys.h"
#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"

namespace {

std::string Words(std::span<const CliOption> options) {
    std::string words;
    for (const CliOption& o : options) {
        words += std::string(words.empty() ? "" : " ") + "--" + o.name;
        if (o.shortName != 0) {
            words += std::string(" -") + o.shortName;
        }
    }
    return words;
}

std::string ValueOptions() {
    std::string names;
    const auto add = [&names](std::span<const CliOption> options) {
        for (const CliOption& o : options) {
            if (o.valueName != nullptr) {
                names += std::string(names.empty() ? "" : "|") + "--" + o.name;
            }
        }
    };
    add(GlobalOptions());
    for (const CliCommand& c : CliCommands()) {
        add(c.options);
    }
    return names;
}

std::string SendCommandNames() {
    std::string names;
    for (int32_t i = 0; i < kCommandCount; ++i) {
        const char* name = kCommandSet[static_cast<size_t>(i)].name;
        if (FindSendCommand(name) == i) {
            names += std::string(names.empty() ? "" : " ") + name;
        }
    }
    return names;
}

// KEY=VALUE words of each send command, as the arms of a shell case.
std::string SendKeyCases(const char* open, const char* close) {
    std::string text;
    for (int32_t i = 0; i < kCommandCount; ++i) {
        const char* name = kCommandSet[static_cast<size_t>(i)].name;
        if (FindSendCommand(name) != i) {
            continue;
        }
        std::string words;
        for (const SettingRow* row : FrameSettings(i)) {
            const std::span<const char* const> names = row->valueNames;
            if (names.empty()) {
                words += std::string(" ") + row->key + "=true " + row->key + "=false";
            }
            for (const char* value : names) {
                words += std::string(" ") + row->key + "=" + value;
            }
        }
        text += std::string("        ") + name + ") keys=" + open +
                (words.empty() ? "" : words.substr(1)) + close + " ;;\n";
    }
    return text;
}

std::string Bash() {
    std::string commands;
    std::string optionCases;
    for (const CliCommand& c : CliCommands()) {
        commands += std::string(commands.empty() ? "" : " ") + c.name;
        optionCases += std::string("        ") + c.name + ") own=\"" + Words(c.options) + "\" ;;\n";
    }
    return "# bash completion of tallisk-cli (made by: tallisk-cli completion bash)\n"
           "_tallisk_cli() {\n"
           "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
           "    local command=\"\" sent=\"\" i\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case \"${COMP_WORDS[i]}\" in\n"
           "            " +
           ValueOptions() +
           ") ((i++)) ;;\n"
           "            -*) ;;\n"
           "            *) if [ -z \"$command\" ]; then command=\"${COMP_WORDS[i]}\";\n"
           "               elif [ -z \"$sent\" ]; then sent=\"${COMP_WORDS[i]}\"; fi ;;\n"
           "        esac\n"
           "    done\n"
           "    case \"$prev\" in\n"
           "        --device) COMPREPLY=($(compgen -W \"$(ls /dev/hidraw* 2>/dev/null)\" -- "
           "\"$cur\"));"
           " return ;;\n"
           "        --serial) COMPREPLY=($(compgen -W \"$(ls /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*"
           " 2>/dev/null) COM1 COM2 COM3 COM4\" -- \"$cur\")); return ;;\n"
           "        --from) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
           "        --count) return ;;\n"
           "    esac\n"
           "    local own=\"\"\n"
           "    case \"$command\" in\n" +
           optionCases +
           "    esac\n"
           "    if [[ \"$cur\" == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"" +
           Words(GlobalOptions()) +
           " $own\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case \"$command\" in\n"
           "        \"\") COMPREPLY=($(compgen -W \"" +
           commands +
           "\" -- \"$cur\")) ;;\n"
           "        help) COMPREPLY=($(compgen -W \"" +
           commands +
           "\" -- \"$cur\")) ;;\n"
           "        completion) COMPREPLY=($(compgen -W \"bash zsh\" -- \"$cur\")) ;;\n"
           "        write|verify) COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
           "        send)\n"
           "            if [ -z \"$sent\" ]; then\n"
           "                COMPREPLY=($(compgen -W \"" +
           SendCommandNames() +
           "\" -- \"$cur\"))\n"
           "                return\n"
           "            fi\n"
           "            local keys=\"\"\n"
           "            case \"$sent\" in\n" +
           SendKeyCases("\"", "\"") +
           "            esac\n"
           "            COMPREPLY=($(compgen -W \"$keys\" -- \"$cur\")) ;;\n"
           "    esac\n"
           "}\n"
           "complete -F _tallisk_cli tallisk-cli\n";
}

std::string Zsh() {
    std::string commands;
    for (const CliCommand& c : CliCommands()) {
        std::string summary = c.summary;
        for (char& ch : summary) {
            ch = ch == '\'' ? ' ' : ch;
        }
        commands += std::string("        '") + c.name + ":" + summary + "'\n";
    }
    return "#compdef tallisk-cli\n"
           "# zsh completion of tallisk-cli (made by: tallisk-cli completion zsh)\n"
           "_tallisk-cli() {\n"
           "    local -a commands\n"
           "    commands=(\n" +
           commands +
           "    )\n"
           "    local context state line\n"
           "    _arguments -C \\\n"
           "        '--device[the USB reader on this hidraw node]:hidraw node:_files -g "
           "\"/dev/hidraw*\"' \\\n"
           "        '--serial[the reader on this serial line]:serial line:_files -g \"/dev/tty*\"' "
           "\\\n"
           "        '--all[every USB reader present]' \\\n"
           "        '--json[a JSON document instead of text]' \\\n"
           "        '--trace[the bytes on standard error]' \\\n"
           "        '(-h --help)'{-h,--help}'[the help]' \\\n"
           "        '(-V --version)'{-V,--version}'[the version]' \\\n"
           "        '1:command:->command' \\\n"
           "        '*::argument:->argument'\n"
           "    case $state in\n"
           "        command) _describe -t commands 'tallisk-cli command' commands ;;\n"
           "        argument)\n"
           "            case $line[1] in\n"
           "                write|verify) _arguments '--force[send even when unchanged]' "
           "'1:file:_files' ;;\n"
           "                watch) _arguments '--compare[compare with the first]' '--count[stop "
           "after N reads]:reads:' ;;\n"
           "                help) _describe -t commands 'command' commands ;;\n"
           "                completion) _values shell bash zsh ;;\n"
           "                send)\n"
           "                    if (( CURRENT == 2 )); then\n"
           "                        _values 'send command' " +
           SendCommandNames() +
           "\n"
           "                    else\n"
           "                        local -a keys\n"
           "                        case $line[2] in\n" +
           SendKeyCases("(", ")") +
           "                        esac\n"
           "                        compadd -a keys\n"
           "                    fi ;;\n"
           "            esac ;;\n"
           "    esac\n"
           "}\n"
           "_tallisk-cli \"$@\"\n";
}

}  // namespace

int RunCompletionCommand(const CliInvocation& invocation) {
    const std::string& shell = invocation.arguments[0];
    if (shell != "bash" && shell != "zsh") {
        return Fail(kCliUsage, "completion: no completion for '" + shell + "': bash or zsh");
    }
    const std::string script = shell == "bash" ? Bash() : Zsh();
    if (JsonOutput()) {
        EmitJson({{"script", JsonString(script)}});
    } else {
        std::fputs(script.c_str(), stdout);
    }
    return kCliOk;
}
