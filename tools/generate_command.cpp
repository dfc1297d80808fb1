// corvel-level generate: searches mazes for a hard level and writes the best one found.
#include <chrono>
#include <iostream>
#include <limits>
#include <memory>

#include "analysis/difficulty.h"
#include "analysis/generate_progress.h"
#include "analysis/generator.h"
#include "analysis/solver.h"
#include "analysis/whole_number.h"
#include "game/level_text.h"
#include "tools/commands.h"
#include "tools/safe_file.h"

namespace {

struct GenerateArguments {
    std::string output;
    std::string method = "search";
    std::string width, height, seed = "1", tries, seconds;
};

CLI::Validator wholeNumberFrom(std::uint64_t least, std::uint64_t most) {
    const std::string range = std::to_string(least) + " to " + std::to_string(most);
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            return wholeNumber(text, least, most) ? "" : "'" + text + "' is not a whole number from " + range;
        },
        "from " + range);
}

std::uint64_t valueOf(const std::string& checked) { return *wholeNumber(checked, 0, std::numeric_limits<std::uint64_t>::max()); }

// Reports on stderr at most once a second, so short runs stay quiet, and ends the search when
// the time allowed is up.
class ProgressLine {
public:
    ProgressLine(std::int64_t tries, std::optional<double> seconds) : tries_(tries), seconds_(seconds) {}
    bool operator()(std::int64_t tried, std::int32_t bestWin) {
        tried_ = tried;
        auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        if (seconds_ && elapsed >= *seconds_) {
            outOfTime_ = tried < tries_;
            return false;
        }
        if (now - last_ < std::chrono::seconds(1)) return true;
        last_ = now;
        shown_ = true;
        std::cerr << "\rgenerate: " << generateProgressText(tried, tries_, bestWin, elapsed, seconds_) << "   " << std::flush;
        return true;
    }
    // Ends the progress line, so that what follows starts on a line of its own.
    void finish() {
        if (shown_) std::cerr << '\n';
        shown_ = false;
    }
    std::int64_t tried() const { return tried_; }
    bool outOfTime() const { return outOfTime_; }

private:
    std::int64_t tries_;
    std::optional<double> seconds_;
    std::int64_t tried_ = 0;
    bool outOfTime_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_ = start_;
    bool shown_ = false;
};

int runGenerate(const GenerateArguments& args) {
    GenerateRequest request;
    request.width = static_cast<std::int32_t>(valueOf(args.width));
    request.height = static_cast<std::int32_t>(valueOf(args.height));
    request.seed = valueOf(args.seed);
    request.method = args.method == "random" ? GenerateMethod::Random : GenerateMethod::Search;
    if (auto fault = generateSizeFault(request.width, request.height)) {
        reportError("generate: " + *fault);
        return kExitUsage;
    }
    std::optional<double> seconds;
    if (!args.seconds.empty()) seconds = static_cast<double>(valueOf(args.seconds));
    if (!args.tries.empty()) {
        request.tries = static_cast<std::int64_t>(valueOf(args.tries));
    } else {
        request.tries = seconds ? std::numeric_limits<std::int64_t>::max() : defaultTries(request.width, request.height);
    }
    ProgressLine progress(request.tries, seconds);
    const std::optional<GeneratedLevel> level = generateLevel(request, std::ref(progress));
    progress.finish();
    const std::string tried = std::to_string(progress.tried()) + (progress.tried() == 1 ? " maze" : " mazes");
    if (!level) {
        reportError("generate: " + noLevelFound(progress.tried()));
        return kExitRefused;
    }
    if (auto error = writeFileSafely(args.output, levelText(level->maze))) {
        reportError(*error);
        return kExitRefused;
    }
    std::cout << args.output << ": a " << request.width << " by " << request.height << " level whose shortest win takes "
              << keyCount(static_cast<std::size_t>(level->shortestWin));
    if (auto traps = countTraps(level->maze, solveLevel(level->maze).keys)) std::cout << ", with " << *traps << " traps";
    std::cout << " (" << args.method << ", seed " << request.seed << ", " << tried << ", " << level->candidates
              << " candidate levels)\n";
    if (progress.outOfTime())
        std::cout << "The time ran out; --method " << args.method << " --seed " << request.seed << " --tries "
                  << progress.tried() << " makes the same level again.\n";
    return kExitOk;
}

}  // namespace

void addGenerateCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<GenerateArguments>();
    CLI::App* generate = app.add_subcommand(
        "generate",
        "Search mazes (walls that agree between neighbours, a closed outer wall but for one gap with the exit just "
        "outside) and their start cells for the level whose shortest win is longest, among those where walking a "
        "shortest path to the exit while ignoring the Brugak does not win, and write it to OUT. The same method, "
        "seed and tries always give the same level; a run ended by --seconds may stop at a different try each "
        "time, and says which --tries makes its level again. Progress, with the longest win so far, goes to "
        "stderr. Exit status 1 when no such level was found or OUT cannot be written; OUT is never left half "
        "written.");
    generate->add_option("OUT", args->output, "The level file to write")->required();
    const auto size = wholeNumberFrom(1, kMaxGenerateCells);
    generate->add_option("--width", args->width, "Columns")->type_name("N")->required()->check(size);
    generate->add_option("--height", args->height, "Rows")->type_name("N")->required()->check(size);
    generate->add_option("--method", args->method,
                         "search: change one wall (or the exit's gap) of a maze at a time, keeping each change that "
                         "leaves the longest shortest win no shorter, and start again from a fresh maze when it "
                         "stops gaining; random: judge a fresh random maze at every try")
        ->capture_default_str()
        ->check(CLI::IsMember({"search", "random"}));
    generate->add_option("--seed", args->seed, "Seed of the random choices")
        ->type_name("N")
        ->capture_default_str()
        ->check(wholeNumberFrom(0, std::numeric_limits<std::uint64_t>::max()));
    generate->add_option("--tries", args->tries,
                         "Mazes to judge (on boards of up to 1024 cells, each with every pair of start cells); by "
                         "default a few seconds' work whatever the board's size, or no limit with --seconds")
        ->type_name("N")
        ->check(wholeNumberFrom(1, kMostTries));
    generate->add_option("--seconds", args->seconds,
                         "Stop after this many seconds (or at the end of --tries, if sooner); how far a run gets in "
                         "a given time differs from run to run and machine to machine")
        ->type_name("N")
        ->check(wholeNumberFrom(1, kMostSeconds));
    generate->callback([args, &action] { action = [args] { return runGenerate(*args); }; });
}
