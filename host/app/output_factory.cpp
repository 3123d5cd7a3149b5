// Choosing the display from the options.
#include "app/output_factory.h"

#include "output/image_output.h"
#include "output/terminal_output.h"
#if QPM_HOST_WITH_X11
#include "output/x11_output.h"
#endif

std::unique_ptr<PageOutput> MakeOutput(const HostOptions& options, std::string* error) {
    switch (options.output) {
        case OutputMode::kTerminal:
            return std::make_unique<TerminalOutput>();
        case OutputMode::kX11:
#if QPM_HOST_WITH_X11
            return std::make_unique<X11Output>();
#else
            *error = "this qpmhost was built without X11 (libx11-dev was missing)";
            return nullptr;
#endif
        case OutputMode::kPng:
            return std::make_unique<PngOutput>(options.pngPath);
        case OutputMode::kAnimation:
            if (!options.gifPath.empty())
                return std::make_unique<AnimationOutput>(
                    options.gifPath, AnimationOutput::Format::kGif, options.frameMs);
            return std::make_unique<AnimationOutput>(
                options.apngPath, AnimationOutput::Format::kApng, options.frameMs);
        case OutputMode::kNull:
            return std::make_unique<NullOutput>();
    }
    *error = "no display";
    return nullptr;
}
