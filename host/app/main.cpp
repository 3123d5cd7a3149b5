// qpmhost: runs the components of a page (see --help).
#include <cstdio>

#include "app/host_app.h"
#include "app/option_checks.h"
#include "app/options.h"
#include "session/log.h"

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        LogError("%s", error.c_str());
        fputs("Run qpmhost --help for the options.\n", stderr);
        return kExitUsage;
    }
    if (options.help) {
        fputs(UsageText(), stdout);
        return kExitOk;
    }
    if (!CheckOptionPaths(options, &error)) {
        LogError("%s", error.c_str());
        return kExitUsage;
    }
    return RunHost(options);
}
