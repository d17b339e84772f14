// Runs the built quillmere-collect program against the simulated marketplace.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/settings_file.h"
#include "sim_harness.h"

namespace qm {
namespace {

using test::item;
using test::SimHarness;

std::filesystem::path program() {
    // The build puts the test programs in tests/ and the programs in src/app/.
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" / "app" /
           "quillmere-collect";
}

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int run_program(const std::string& arguments, const std::filesystem::path& out,
                const std::filesystem::path& err) {
    const std::string command = program().string() + " " + arguments + " >" + out.string() + " 2>" +
                                err.string() + " </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CollectProgram, RunsTheCollectionAndStoresTheNextStartIndex) {
    ASSERT_TRUE(std::filesystem::exists(program())) << program();
    sim::Fixture f;
    f.page_size = 5;
    f.items.push_back(item("50000001", sim::Market::Taobao, "第一件", 7, "一号评论 "));
    f.items.push_back(item("50000002", sim::Market::Tmall, "第二件", 3, "二号评论 "));
    f.items.push_back(item("50000003", sim::Market::Taobao, "第三件", 2));
    SimHarness h(std::move(f));
    h.write_items("50000001\r\n50000002\r\n50000003\r\n");

    const std::string ini = SimHarness::gbk(h.dir() / "settings.ini");
    SettingsFile settings;
    settings.open(ini, "主窗口"_gbk);
    settings.write_text("宝贝文件"_gbk, SimHarness::gbk(h.dir() / "items.txt"));
    settings.write_text("保存目录"_gbk, SimHarness::gbk(h.dir() / "out"));
    settings.write_text("最少字数"_gbk, "0");
    settings.write_text("采集页数"_gbk, "0");
    settings.write_number("评论类型"_gbk, 0);
    settings.write_text("组合模板"_gbk, "#评论#\r\n"_gbk);
    settings.write_bool("标题打乱"_gbk, false);
    settings.write_bool("内容打乱"_gbk, false);
    settings.write_text("序号"_gbk, "2");
    settings.set_section("网络"_gbk);
    settings.write_text("代理"_gbk, h.sim().proxy());

    const auto out = h.dir() / "stdout.txt";
    const auto err = h.dir() / "stderr.txt";
    ASSERT_EQ(run_program("--settings " + (h.dir() / "settings.ini").string(), out, err), 0) << slurp(err);
    EXPECT_FALSE(h.output("第一件"));
    EXPECT_EQ(h.output("第二件").value_or(""), utf8_to_gbk("二号评论 1\r\n二号评论 2\r\n二号评论 3\r\n"));
    EXPECT_TRUE(h.output("第三件"));
    settings.set_section("主窗口"_gbk);
    EXPECT_EQ(settings.read_text("序号"_gbk), "4");
    const std::string progress = slurp(err);
    EXPECT_NE(progress.find("停止..已生成 1 篇|正采集 1 页\n"), std::string::npos) << progress;
    EXPECT_NE(progress.find("采集完成！"), std::string::npos) << progress;
    EXPECT_EQ(slurp(out), "");

    // The item list is gone: its message, status 2, and the start index stays.
    std::filesystem::remove(h.dir() / "items.txt");
    EXPECT_EQ(run_program("--settings " + (h.dir() / "settings.ini").string(), out, err), 2);
    EXPECT_NE(slurp(err).find("请先选择保存商品ID或商品地址的文本文件！"), std::string::npos);
    EXPECT_EQ(settings.read_text("序号"_gbk), "4");
}

TEST(CollectProgram, PreviewGoesToStandardOutput) {
    sim::Fixture f;
    f.page_size = 5;
    f.items.push_back(item("50000011", sim::Market::Taobao, "预览", 2, "预览评论 "));
    SimHarness h(std::move(f));
    h.write_items("50000011\n");
    SettingsFile settings;
    settings.open(SimHarness::gbk(h.dir() / "settings.ini"), "主窗口"_gbk);
    settings.write_text("宝贝文件"_gbk, SimHarness::gbk(h.dir() / "items.txt"));
    settings.write_text("组合模板"_gbk, "#评论#\r\n"_gbk);
    settings.write_text("最少字数"_gbk, "0");
    settings.write_number("评论类型"_gbk, 0);
    settings.write_bool("仅信息框快速预览"_gbk, true);
    settings.write_bool("内容打乱"_gbk, false);
    const auto out = h.dir() / "stdout.txt";
    const auto err = h.dir() / "stderr.txt";
    ASSERT_EQ(run_program("--proxy " + h.sim().proxy() + " --settings " + (h.dir() / "settings.ini").string(),
                          out, err),
              0)
        << slurp(err);
    EXPECT_EQ(slurp(out), "预览评论 1\n预览评论 2\n");
    EXPECT_EQ(h.output_count(), 0u);
}

// Ctrl-C is the second click on the start button: the item in progress is
// still written, the run ends with status 0 and the next run resumes after it.
TEST(CollectProgram, FirstInterruptStopsAfterTheItemInProgress) {
    sim::Fixture f;
    f.page_size = 5;
    f.items.push_back(item("50000021", sim::Market::Taobao, "慢的", 20, "慢评论 "));
    sim::Fault slow;
    slow.kind = sim::FaultKind::Delay;
    slow.where = sim::FaultWhere::ReviewList;
    slow.delay_ms = 300;
    f.items.back().faults.push_back(slow);
    f.items.push_back(item("50000022", sim::Market::Taobao, "之后的", 2));
    SimHarness h(std::move(f));
    h.write_items("50000021\n50000022\n");
    SettingsFile settings;
    settings.open(SimHarness::gbk(h.dir() / "settings.ini"), "主窗口"_gbk);
    settings.write_text("宝贝文件"_gbk, SimHarness::gbk(h.dir() / "items.txt"));
    settings.write_text("保存目录"_gbk, SimHarness::gbk(h.dir() / "out"));
    settings.write_text("组合模板"_gbk, "#评论#\r\n"_gbk);
    settings.write_text("最少字数"_gbk, "0");
    settings.write_text("采集页数"_gbk, "0");
    settings.write_number("评论类型"_gbk, 0);
    settings.write_bool("标题打乱"_gbk, false);
    settings.write_bool("内容打乱"_gbk, false);
    const auto err = h.dir() / "stderr.txt";

    // Everything the child needs is made before fork: only exec-safe calls after it.
    const std::string settings_path = (h.dir() / "settings.ini").string();
    const std::string proxy = h.sim().proxy();
    const std::string err_path = err.string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(err_fd, 2);
        dup2(null_fd, 1);
        dup2(null_fd, 0);
        execl(program().c_str(), "quillmere-collect", "--proxy", proxy.c_str(), "--settings",
              settings_path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Interrupt once the first review page of the slow item has been asked for.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (slurp(err).find("正采集 1 页") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << slurp(err);
    EXPECT_EQ(WEXITSTATUS(status), 0) << slurp(err);

    const auto written = h.output("慢的");
    ASSERT_TRUE(written) << slurp(err);
    EXPECT_NE(written->find(utf8_to_gbk("慢评论 1")), std::string::npos);
    EXPECT_EQ(written->find(utf8_to_gbk("慢评论 20")), std::string::npos);  // paging stopped early
    EXPECT_FALSE(h.output("之后的"));
    settings.set_section("主窗口"_gbk);
    EXPECT_EQ(settings.read_text("序号"_gbk), "2");
    EXPECT_NE(slurp(err).find("采集完成！"), std::string::npos);
}

TEST(CollectProgram, BadArguments) {
    const auto dir = std::filesystem::temp_directory_path();
    for (const char* arguments : {"--bogus", "--settings", "--proxy", "extra"}) {
        EXPECT_EQ(run_program(arguments, dir / "qm_args_out.txt", dir / "qm_args_err.txt"), 64) << arguments;
        EXPECT_TRUE(slurp(dir / "qm_args_err.txt").starts_with("usage: quillmere-collect")) << arguments;
    }
}

}  // namespace
}  // namespace qm
