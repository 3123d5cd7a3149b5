// Choosing the display from the options.
#pragma once

#include <memory>
#include <string>

#include "app/options.h"
#include "output/page_output.h"

// The display the options ask for, or null with `error` set.
std::unique_ptr<PageOutput> MakeOutput(const HostOptions& options, std::string* error);
