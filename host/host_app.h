// One run of qpmhost, from the options to the exit code.
#pragma once

#include "exit_codes.h"
#include "options.h"

ExitCode RunHost(const HostOptions& options);
