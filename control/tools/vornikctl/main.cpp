// vornikctl: explore a Bluetooth LE device from a terminal through the
// Vornik220 control, bound late through its C interface by dispatch id.
#include "commands.h"
#include "ctl_host.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kRadioVariable = "VORNIK220_RADIO";
constexpr const char* kSimModuleVariable = "VORNIK_SIM_MODULE";
constexpr const char* kDemoModuleName = "libvornikctl_demo_peripherals.so";
constexpr const char* kGaugeModuleName = "libquen_gaugesim.so";
constexpr const char* kGaugeFolderVariable = "QUENCONNECT_GAUGESIM_DIR";
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintHelp(std::FILE* out)
{
    std::fprintf(out, "Usage: vornikctl [OPTIONS] COMMAND [ARGS...] [COMMAND [ARGS...]]...\n"
                      "\n"
                      "Drives the Vornik220 BLE control from a terminal. The commands run in order\n"
                      "on one control; events are printed as they arrive, one per line.\n"
                      "\n"
                      "Options:\n"
                      "  --sim                use the simulated radio with the demo peripheral\n"
                      "                       (\"Vornik Demo\", address 00C0FFEE0001)\n"
                      "  --sim-module PATH    use the simulated radio with the peripherals of PATH\n"
                      "  --sim-gauges         use the simulated radio with the simulated gauges\n"
                      "  --sim-gauge-folder FOLDER\n"
                      "                       the same, with the gauges described in FOLDER\n"
                      "  --module PATH        load the control from PATH instead of the class registry\n"
                      "  --progid NAME        create this ProgID or CLSID (default CorvelBLE.Vornik)\n"
                      "  --log-level N        raise Log events up to level N (1 to 3) and print them\n"
                      "                       on standard error\n"
                      "  --timeout SECONDS    time limit of each request (the Timeout property)\n"
                      "  --register user|system\n"
                      "  --unregister user|system\n"
                      "                       register the control module (the one --module names,\n"
                      "                       else the one beside vornikctl) per user or system-wide\n"
                      "                       in the class registry, or remove it, and exit\n"
                      "  -h, --help           print this help and exit\n"
                      "\n"
                      "Commands:\n");
    for (const auto& command : vornikctl::Commands())
        std::fprintf(out, "  %-48s %s\n", command.usage, command.help);
    std::fprintf(out, "\n"
                      "VALUE is text (converted through the control's CodePage) or hex:0A00FF for\n"
                      "raw bytes. Ids are the control's twelve-digit object Ids as `discover`\n"
                      "prints them. Without --sim the control uses the radio VORNIK220_RADIO names.\n"
                      "\n"
                      "Example:\n"
                      "  vornikctl --sim scan 1 connect 00C0FFEE0001 discover tree\n"
                      "\n"
                      "Exit status: 0 when every command succeeded, 1 when one failed (the rest\n"
                      "are skipped), 2 for a usage error.\n");
}

struct Options {
    std::string progId = VORNIK_PROGID_INDEPENDENT;
    std::string module;
    std::string simModule;
    std::string gaugeFolder;
    bool sim = false;
    int logLevel = 0;
    int timeout = -1;
    std::string registerScope; // "user" or "system" with --register/--unregister
    bool unregister = false;
    std::size_t firstCommand = 0;
};

bool ParseInt(const char* text, int low, int high, int& out)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < low || value > high)
        return false;
    out = static_cast<int>(value);
    return true;
}

// 0 when fine, else the exit status; help has been printed for -1.
int ParseOptions(const std::vector<std::string>& args, Options& options)
{
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-h" || a == "--help")
            return -1;
        if (a == "--sim") {
            options.sim = true;
        } else if (a == "--sim-module" && hasValue) {
            options.sim = true;
            options.simModule = args[++i];
        } else if (a == "--sim-gauges") {
            options.sim = true;
            options.simModule = (vornik::programDirectory() / kGaugeModuleName).string();
        } else if (a == "--sim-gauge-folder" && hasValue) {
            options.sim = true;
            options.simModule = (vornik::programDirectory() / kGaugeModuleName).string();
            options.gaugeFolder = args[++i];
        } else if ((a == "--register" || a == "--unregister") && hasValue &&
                   (args[i + 1] == "user" || args[i + 1] == "system")) {
            options.unregister = a == "--unregister";
            options.registerScope = args[++i];
        } else if (a == "--module" && hasValue) {
            options.module = args[++i];
        } else if (a == "--progid" && hasValue) {
            options.progId = args[++i];
        } else if (a == "--log-level" && hasValue && ParseInt(args[i + 1].c_str(), 0, 3, options.logLevel)) {
            ++i;
        } else if (a == "--timeout" && hasValue && ParseInt(args[i + 1].c_str(), 0, 32767, options.timeout)) {
            ++i;
        } else {
            std::fprintf(stderr, "vornikctl: bad option \"%s\" (see --help)\n", a.c_str());
            return kExitUsage;
        }
    }
    options.firstCommand = i;
    return 0;
}

// Checks every command and its argument count before anything runs.
int CheckCommands(const std::vector<std::string>& args, std::size_t first)
{
    if (first >= args.size()) {
        std::fprintf(stderr, "vornikctl: no command given (see --help)\n");
        return kExitUsage;
    }
    for (std::size_t i = first; i < args.size();) {
        const auto* command = vornikctl::FindCommand(args[i]);
        if (!command) {
            std::fprintf(stderr, "vornikctl: unknown command \"%s\" (see --help)\n", args[i].c_str());
            return kExitUsage;
        }
        if (i + 1 + command->argCount > args.size()) {
            std::fprintf(stderr, "vornikctl: usage: %s\n", command->usage);
            return kExitUsage;
        }
        i += 1 + command->argCount;
    }
    return 0;
}

void ChooseRadio(const Options& options)
{
    if (!options.sim)
        return;
    ::setenv(kRadioVariable, "sim", 1);
    const std::string module =
        options.simModule.empty() ? (vornik::programDirectory() / kDemoModuleName).string() : options.simModule;
    ::setenv(kSimModuleVariable, module.c_str(), 1);
    if (!options.gaugeFolder.empty())
        ::setenv(kGaugeFolderVariable, options.gaugeFolder.c_str(), 1);
}

// Registers or unregisters the module the way an installer does.
int Registration(const Options& options)
{
    const std::filesystem::path file = options.module.empty() ? vornik::programDirectory() / vornik::kModuleFileNames[0]
                                                              : std::filesystem::path(options.module);
    std::string error;
    auto module = vornik::Module::open(std::filesystem::absolute(file), "", error);
    if (!module) {
        std::fprintf(stderr, "vornikctl: %s\n", error.c_str());
        return kExitFailed;
    }
    const char* scope = options.registerScope == "user" ? "user" : "";
    if (module->api().install(options.unregister ? 0 : 1, scope) != VORNIK_S_OK) {
        vornik_error_info info{};
        module->api().getErrorInfo(&info);
        std::fprintf(stderr, "vornikctl: %s\n", info.description);
        return kExitFailed;
    }
    std::printf("%s %s (%s)\n", options.unregister ? "Unregistered" : "Registered", module->path().c_str(),
                options.registerScope.c_str());
    return 0;
}

extern "C" void onInterrupt(int) { vornikctl::CtlHost::Interrupt(); }

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    if (const int status = ParseOptions(args, options); status != 0) {
        if (status < 0)
            PrintHelp(stdout);
        return status < 0 ? 0 : status;
    }
    if (!options.registerScope.empty())
        return Registration(options);
    if (const int status = CheckCommands(args, options.firstCommand); status != 0)
        return status;
    ChooseRadio(options);
    struct sigaction action { };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr); // no SA_RESTART: a poll in progress returns

    vornikctl::CtlHost host(stdout, stderr);
    std::string error;
    if (!host.Start(options.progId, options.module, error)) {
        std::fprintf(stderr, "vornikctl: %s\n", error.c_str());
        return kExitFailed;
    }
    if (options.logLevel > 0) {
        host.SetShowLog(true);
        host.Call(VORNIK_DISPID_Config, {vornikctl::Arg::Text("LogLevel=" + std::to_string(options.logLevel))});
    }
    if (options.timeout >= 0)
        host.Put(VORNIK_DISPID_Timeout, {vornikctl::Arg::ShortValue(options.timeout)});

    for (std::size_t i = options.firstCommand; i < args.size();) {
        if (vornikctl::CtlHost::Interrupted()) {
            std::fprintf(stderr, "vornikctl: interrupted\n");
            return kExitFailed;
        }
        const auto* command = vornikctl::FindCommand(args[i]);
        const std::vector<std::string> commandArgs(args.begin() + static_cast<long>(i) + 1,
                                                   args.begin() + static_cast<long>(i) + 1 + command->argCount);
        if (!vornikctl::RunCommand(host, *command, commandArgs, stdout, stderr))
            return kExitFailed;
        i += 1 + command->argCount;
    }
    return 0;
}
