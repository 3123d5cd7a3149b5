// One run of qpmhost, from the options to the exit code.
#pragma once

#include "app/exit_codes.h"
#include "app/options.h"

ExitCode RunHost(const HostOptions& options);
