// corvel-level render: the picture of the board as the game window shows it after some keys.
#include <memory>

#include "shell/board_painter.h"
#include "tools/commands.h"
#include "tools/png_file.h"

namespace {

struct RenderArguments {
    std::string level;
    std::string output;
    std::string keys;
};

// Larger pictures are refused: they would take long to write and few programs could show them.
constexpr std::int64_t kMaxPicturePixels = 400'000'000;

}  // namespace

void addRenderCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<RenderArguments>();
    CLI::App* render = app.add_subcommand(
        "render", "Write OUT.png, the board as the game window paints it after KEYS (as for play): "
                  "30 pixels a cell, (W x 30 + 1) by (H x 30 + 1) pixels");
    render->add_option("LEVEL", args->level, "The level file")->required();
    render->add_option("OUT.png", args->output, "The picture to write")->required();
    render->add_option("KEYS", args->keys, "The characters typed before the picture is taken");
    render->callback([args, &action] {
        action = [args] {
            auto maze = loadLevelOrReport(args->level);
            if (!maze) return kExitRefused;
            GameStatus status = playKeys(*maze, args->keys);
            const std::int64_t width = std::int64_t{maze->size.x} * kCellSize + 1;
            const std::int64_t height = std::int64_t{maze->size.y} * kCellSize + 1;
            std::optional<std::string> tooLarge = pngSizeProblem(width, height);
            if (!tooLarge && width * height > kMaxPicturePixels)
                tooLarge = "a picture of " + std::to_string(width) + " by " + std::to_string(height) +
                           " pixels is more than the " + std::to_string(kMaxPicturePixels) + " render writes";
            if (tooLarge) {
                reportError(args->level + ": the board's picture cannot be rendered: " + *tooLarge);
                return kExitRefused;
            }
            auto paint = [&](Canvas& canvas) { drawBoard(canvas, *maze, status, kCellSize); };
            if (auto error = writePng(args->output, static_cast<int>(width), static_cast<int>(height), paint)) {
                reportError(*error);
                return kExitRefused;
            }
            return kExitOk;
        };
    });
}
