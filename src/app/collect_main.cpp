// quillmere-collect: the main window's collection run without a window, for
// scripting and servers. Reads the main window's settings, collects, and
// writes the start index back so the next run resumes.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "collect/collect_settings.h"
#include "collect/collection_run.h"
#include "market_sim.h"
#include "settings/control_store.h"
#include "settings/main_window_settings.h"
#include "settings/message_box.h"
#include "settings/network_settings.h"
#include "settings/settings_file.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/regex_object.h"
#include "text/text_primitives.h"
#include "web/web_access.h"

using qm::operator""_gbk;

namespace {

constexpr int kExitBadArguments = 64;
constexpr int kExitNoItemList = 2;

constexpr const char* kUsage =
    "usage: quillmere-collect [--settings FILE] [--proxy HOST:PORT] [--demo]\n";

std::atomic<int> interrupts{0};

extern "C" void on_interrupt(int) {
    // The second Ctrl-C ends the program at once; the first asks for a stop.
    if (interrupts.fetch_add(1) >= 1) _exit(130);
}

// Window texts end lines in CR LF; a terminal or a pipe here wants LF.
std::string printable(std::string_view gbk) {
    return qm::replace_text(qm::gbk_to_utf8(gbk), "\r\n", "\n");
}

// The start button's caption is the run's progress: one line each on a pipe,
// one updating line on a terminal.
class ConsoleWindow : public qm::ControlStore {
public:
    ConsoleWindow() : terminal_(isatty(STDERR_FILENO) == 1) {}

    void set_text(std::string_view control, std::string_view value) override {
        ControlStore::set_text(control, value);
        if (!live_ || control != qm::controls::start_button() || value == "开始采集"_gbk) return;
        const std::string line = printable(value);
        if (terminal_) {
            std::cerr << '\r' << line << "\x1b[K" << std::flush;
            open_line_ = true;
        } else {
            std::cerr << line << '\n' << std::flush;
        }
    }

    // Captions are progress only while the run is on.
    void set_live(bool live) { live_ = live; }

    // Ends the updating line before other output goes to standard error.
    void end_line() {
        if (open_line_) std::cerr << '\n';
        open_line_ = false;
    }

private:
    bool terminal_;
    bool live_ = false;
    bool open_line_ = false;
};

// The preview item's text goes to standard output, every other box to
// standard error.
class ConsoleMessageBoxes : public qm::MessageBoxes {
public:
    explicit ConsoleMessageBoxes(ConsoleWindow& window) : window_(window) {}
    void set_run(const qm::CollectionRun* run) { run_ = run; }

    qm::MessageAnswer show_message(std::string_view text, std::string_view, qm::MessageIcon,
                                   qm::MessageButtons buttons) override {
        window_.end_line();
        // Inside a run only the preview shows a box.
        const bool preview = run_ != nullptr && run_->running();
        std::string out = printable(text);
        if (!out.ends_with('\n')) out += '\n';
        (preview ? std::cout : std::cerr) << out << std::flush;
        return buttons == qm::MessageButtons::yes_no || buttons == qm::MessageButtons::yes_no_cancel
                   ? qm::MessageAnswer::yes
                   : qm::MessageAnswer::ok;
    }

private:
    ConsoleWindow& window_;
    const qm::CollectionRun* run_ = nullptr;
};

std::filesystem::path executable_dir() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : exe.parent_path();
}

// The settings file the window program uses: beside the programs when that
// folder can be written, otherwise in the user's configuration folder.
std::filesystem::path default_settings_path() {
    const std::filesystem::path beside = executable_dir() / u8"主配置文件.ini";
    std::error_code error;
    if (std::filesystem::exists(beside, error) ? access(beside.c_str(), W_OK) == 0
                                               : access(executable_dir().c_str(), W_OK) == 0)
        return beside;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        config = std::filesystem::path(home) / ".config";
    else
        return beside;
    config /= "quillmere";
    std::filesystem::create_directories(config, error);
    return config / u8"主配置文件.ini";
}

std::string to_gbk(const std::filesystem::path& path) {
    const auto u8 = path.u8string();
    return qm::utf8_to_gbk(std::string(u8.begin(), u8.end()));
}

// The simulator's bundled demo files: in the source tree, or beside the program.
std::filesystem::path demo_file(const char* name) {
#ifdef QM_DEMO_DIR
    const std::filesystem::path built = std::filesystem::path(QM_DEMO_DIR) / name;
    if (std::filesystem::exists(built)) return built;
#endif
    return executable_dir() / name;
}

struct Options {
    std::optional<std::string> settings_path;  // UTF-8
    std::optional<std::string> proxy;
    bool demo = false;
};

std::optional<Options> parse_arguments(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--demo") {
            options.demo = true;
        } else if ((arg == "--settings" || arg == "--proxy") && i + 1 < argc && argv[i + 1][0] != '\0') {
            (arg == "--settings" ? options.settings_path : options.proxy) = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse_arguments(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return kExitBadArguments;
    }

    qm::SettingsFile settings;
    settings.open(options->settings_path ? qm::utf8_to_gbk(*options->settings_path)
                                         : to_gbk(default_settings_path()));
    ConsoleWindow window;
    qm::apply_main_window_initial_values(window);
    qm::load_main_window_settings(settings, window);
    const qm::NetworkSettings network = qm::read_network_settings(settings);

    qm::WebAccess web;
    web.set_default_proxy(options->proxy ? *options->proxy : network.proxy);

    std::optional<qm::sim::MarketSim> demo_market;
    std::filesystem::path demo_output;
    if (options->demo) {
        std::string error;
        auto fixture = qm::sim::load_fixture(demo_file("demo_fixture.txt").string(), &error);
        if (!fixture) {
            std::cerr << "quillmere-collect: demo fixture: " << error << '\n';
            return 1;
        }
        demo_market.emplace(std::move(*fixture));
        if (!demo_market->start()) {
            std::cerr << "quillmere-collect: cannot start the simulated marketplace\n";
            return 1;
        }
        web.set_default_proxy(demo_market->proxy());
        std::string dir_template = (std::filesystem::temp_directory_path() / "quillmere-demo-XXXXXX").string();
        if (mkdtemp(dir_template.data()) == nullptr) {
            std::cerr << "quillmere-collect: cannot create the demo folder\n";
            return 1;
        }
        demo_output = dir_template;
        window.set_text(qm::controls::item_list_path(), to_gbk(demo_file("demo_items.txt")));
        window.set_text(qm::controls::output_directory(), to_gbk(demo_output));
        window.set_text(qm::controls::start_index(), "1");
        window.set_checked(qm::controls::preview_only(), false);
    }

    qm::RegexInstances regex;
    ConsoleMessageBoxes messages(window);
    qm::CollectionRun run({window, messages, web, regex, network.request_interval_ms});
    messages.set_run(&run);

    // Ctrl-C arrives as a second click on the start button, at the run's
    // next point where window events would be handled.
    std::signal(SIGINT, on_interrupt);
    int clicks_delivered = 0;
    qm::set_pending_events_hook([&] {
        if (interrupts.load() > clicks_delivered) {
            ++clicks_delivered;
            run.click_start();
            return true;
        }
        return false;
    });
    window.set_text(qm::controls::start_button(), "开始采集"_gbk);
    window.set_live(true);
    run.click_start();
    window.set_live(false);
    window.end_line();
    qm::set_pending_events_hook({});

    if (!run.last_summary().item_list_opened) return kExitNoItemList;
    if (options->demo) {
        std::cerr << "演示结果已写入：" << demo_output.string() << '\n';
    } else {
        settings.set_section("主窗口"_gbk);
        settings.write_text("序号"_gbk, window.text(qm::controls::start_index()));
    }
    return 0;
}
