#include "core/options.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "core/dataFiles.h"

#ifndef VUMTAL_VERSION
#define VUMTAL_VERSION "0.0.0"
#endif

namespace {

struct OptionRule {
    const char* name;
    const char* value;  // the value's name in the usage line; nullptr for a switch
    bool repeats;
    void (*apply)(Options& options, const char* value);
};

void setData(Options& options, const char* value) { options.data = value; }
void addMod(Options& options, const char* value) { options.mods.push_back(value); }
void askMute(Options& options, const char*) { options.mute = true; }
void askHelp(Options& options, const char*) { options.help = true; }
void askVersion(Options& options, const char*) { options.version = true; }

// A whole number of at most 20 digits that fits in 64 bits; anything else is refused.
void setSeed(Options& options, const char* value)
{
    std::uint64_t seed = 0;
    const char* p = value;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const std::uint64_t digit = std::uint64_t(*p - '0');
        if (seed > (UINT64_MAX - digit) / 10) break;
        seed = seed * 10 + digit;
    }
    if (p == value || *p) {
        options.error = std::string("--seed needs a whole number from 0 to ") + std::to_string(UINT64_MAX) + ", not " + value;
        return;
    }
    options.seed = seed;
    options.seedGiven = true;
}

const OptionRule gameRules[] = {
    {"--data", "DIR", false, setData},
    {"--mod", "DIR", true, addMod},
    {"--mute", nullptr, false, askMute},
    {"--seed", "N", false, setSeed},
    {"--help", nullptr, false, askHelp},
    {"--version", nullptr, false, askVersion},
};

const OptionRule checkRules[] = {
    {"--mod", "DIR", true, addMod},
    {"--help", nullptr, false, askHelp},
    {"--version", nullptr, false, askVersion},
};

template <size_t N>
std::string usageOf(const char* program, const OptionRule (&rules)[N], const char* operand)
{
    std::string usage = std::string("usage: ") + program;
    for (const OptionRule& rule : rules) {
        usage += std::string(" [") + rule.name;
        if (rule.value) usage += std::string(" ") + rule.value;
        usage += rule.repeats ? "]..." : "]";
    }
    if (operand) usage += std::string(" [") + operand + "]";
    return usage;
}

const OptionRule* findRule(const OptionRule* begin, const OptionRule* end, const std::string& name)
{
    for (const OptionRule* rule = begin; rule != end; ++rule)
        if (name == rule->name) return rule;
    return nullptr;
}

// A value may follow as the next argument or after "=" ("--mod=DIR"); an
// argument that is itself an option is never taken as a value.
Options parseWith(const OptionRule* begin, const OptionRule* end, bool takesOperand, int argc, char** argv)
{
    Options options;
    bool operandSeen = false;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (!takesOperand || operandSeen) {
                options.error = "unexpected argument " + arg;
                break;
            }
            options.data = arg;
            operandSeen = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionRule* rule = findRule(begin, end, name);
        if (!rule) {
            options.error = "unknown option " + name;
            break;
        }
        if (!rule->value) {
            if (equals != std::string::npos) options.error = name + " takes no value";
            else rule->apply(options, nullptr);
            continue;
        }
        std::string value;
        if (equals != std::string::npos) value = arg.substr(equals + 1);
        else if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) value = argv[++i];
        if (value.empty()) {
            options.error = name + " needs a " + rule->value;
            break;
        }
        rule->apply(options, value.c_str());
    }
    return options;
}

}  // namespace

Options parseOptions(int argc, char** argv)
{
    return parseWith(std::begin(gameRules), std::end(gameRules), false, argc, argv);
}

Options parseCheckOptions(int argc, char** argv)
{
    return parseWith(std::begin(checkRules), std::end(checkRules), true, argc, argv);
}

std::string gameUsage() { return usageOf("vumtal", gameRules, nullptr); }
std::string checkUsage() { return usageOf("vumtal-check", checkRules, "DIR"); }
const char* versionText() { return VUMTAL_VERSION; }

int answerOptions(const Options& options, const char* program, const std::string& usage, std::ostream& out,
                  std::ostream& err)
{
    if (!options.error.empty()) {
        err << program << ": " << options.error << "; " << usage << "\n";
        return OPTIONS_USAGE;
    }
    if (options.help) {
        out << usage << "\n"
            << "Data files are looked up in each --mod folder (the last one given first), then in the data\n"
               "folder: the one given on the command line, else the working directory if it holds test.xml,\n"
               "else $VUMTAL_DATA, else the one installed with the game. See man "
            << program << ".\n";
        return OPTIONS_DONE;
    }
    if (options.version) {
        out << program << " " << versionText() << "\n";
        return OPTIONS_DONE;
    }
    return OPTIONS_GO_ON;
}

int readCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    const Options options = parseOptions(argc, argv);
    const int status = answerOptions(options, "vumtal", gameUsage(), out, err);
    if (status != OPTIONS_GO_ON) return status;
    // Before any window: a wrong folder is one line, not a half-started game.
    const int folders = chooseDataFolders(options, "vumtal", err);
    return folders != 0 ? folders : OPTIONS_GO_ON;
}
