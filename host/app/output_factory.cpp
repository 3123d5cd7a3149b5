// Choosing the display from the options.
#include "app/output_factory.h"

#include "output/image_output.h"
#include "output/terminal_output.h"
#include "output/window_output.h"

std::unique_ptr<PageOutput> MakeOutput(const HostOptions& options, std::string* error) {
    switch (options.output) {
        case OutputMode::kTerminal:
            return std::make_unique<TerminalOutput>(options.terminalGraphics);
        case OutputMode::kWindow:
            return std::make_unique<WindowOutput>();
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
