// corvel-level generate: searches random mazes for a hard level and writes the best one found.
#include <chrono>
#include <iostream>
#include <memory>

#include "tools/commands.h"
#include "tools/generator.h"
#include "tools/safe_file.h"

namespace {

struct GenerateArguments {
    std::string output;
    GenerateRequest request;
};

// Reports on stderr at most once a second, so short runs stay quiet.
class ProgressLine {
public:
    explicit ProgressLine(std::int64_t tries) : tries_(tries) {}
    void operator()(std::int64_t tried, std::int32_t bestWin) {
        auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::seconds(1)) return;
        last_ = now;
        shown_ = true;
        std::cerr << "\rgenerate: " << tried << " of " << tries_ << " mazes tried, longest shortest win so far "
                  << keyCount(static_cast<std::size_t>(bestWin)) << std::flush;
    }
    ~ProgressLine() {
        if (shown_) std::cerr << '\n';
    }

private:
    std::int64_t tries_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    bool shown_ = false;
};

}  // namespace

void addGenerateCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<GenerateArguments>();
    CLI::App* generate = app.add_subcommand(
        "generate",
        "Search random mazes (walls that agree between neighbours, a closed outer wall but for one gap with the "
        "exit just outside) and their start cells for the level whose shortest win is longest, among those where "
        "walking a shortest path to the exit while ignoring the Brugak does not win, and write it to OUT. The "
        "same seed and tries always give the same level. Exit status 1 when no such level was found or OUT "
        "cannot be written; OUT is never left half written.");
    generate->add_option("OUT", args->output, "The level file to write")->required();
    auto size = CLI::Range(1, kMaxGenerateCells);
    generate->add_option("--width", args->request.width, "Columns")->required()->check(size);
    generate->add_option("--height", args->request.height, "Rows")->required()->check(size);
    generate->add_option("--seed", args->request.seed, "Seed of the random mazes")->capture_default_str();
    generate->add_option("--tries", args->request.tries,
                         "Mazes to try; on boards of up to 1024 cells every pair of start cells of each maze is judged")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    generate->callback([args, &action] {
        action = [args] {
            const GenerateRequest& request = args->request;
            const std::int64_t cells = std::int64_t{request.width} * request.height;
            if (cells < kMinGenerateCells || cells > kMaxGenerateCells) {
                reportError("generate: a board of " + std::to_string(request.width) + " by " +
                            std::to_string(request.height) + " has " + std::to_string(cells) +
                            " cells; it needs " + std::to_string(kMinGenerateCells) + " to " +
                            std::to_string(kMaxGenerateCells));
                return kExitUsage;
            }
            std::optional<GeneratedLevel> level;
            {
                ProgressLine progress(request.tries);
                level = generateLevel(request, std::ref(progress));
            }
            if (!level) {
                reportError("generate: none of the " + std::to_string(request.tries) +
                            " mazes tried gave a level that can be won and needs the Brugak to be reckoned with");
                return kExitRefused;
            }
            if (auto error = writeFileSafely(args->output, levelText(level->maze))) {
                reportError(*error);
                return kExitRefused;
            }
            std::cout << args->output << ": a " << request.width << " by " << request.height
                      << " level whose shortest win takes " << keyCount(static_cast<std::size_t>(level->shortestWin)) << " (seed " << request.seed
                      << ", " << request.tries << " mazes, " << level->candidates << " candidate levels)\n";
            return kExitOk;
        };
    });
}
