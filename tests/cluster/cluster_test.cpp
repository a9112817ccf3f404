// The README's recipes for an event on several machines, run for real: the Slurm job array on a
// one-node cluster the test starts as root in a temporary folder, and GNU parallel with this machine's
// job slots. Both merged flatfiles must equal the one-machine run byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "support/command_run.hpp"
#include "support/launch.hpp"

namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::Started;
using smwave::testing::TempDir;
using smwave::testing::ToolResult;
using smwave::testing::write_file;

// The README's first ```sh block that holds every one of `words`, or "" when none does.
std::string readme_block(std::initializer_list<std::string_view> words) {
    std::istringstream in(read_file(SMWAVE_README));
    std::string block, line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside && line == "```sh") {
            inside = true;
            block.clear();
        } else if (inside && line == "```") {
            inside = false;
            bool all = true;
            for (const std::string_view word : words) all = all && block.find(word) != std::string::npos;
            if (all) return block;
        } else if (inside) {
            block += line + "\n";
        }
    }
    return "";
}

// Runs a shell script in `dir`, ended after `seconds`.
ToolResult shell(const fs::path& dir, const std::string& script, int seconds = 60) {
    return run_command(dir, "/usr/bin/timeout", {std::to_string(seconds), "/bin/bash", "-c", script});
}

bool on_path(const std::string& program) {
    return shell("/", "command -v " + program + " >/dev/null").status == 0;
}

// Polls `ready` every half second for at most `seconds`.
template <typename Ready>
bool wait_until(Ready ready, int seconds) {
    for (int tries = 0; tries < seconds * 2; ++tries) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return false;
}

// The programs of the suite found by the recipes' bare names, and the one-machine flatfile.
class ClusterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
        ::setenv("PATH", (fs::path(SMWAVE_EVENT_EXE).parent_path().string() + ":" + path).c_str(), 1);
        ASSERT_EQ(run_command(dir_.path(), MAKE_EVENT_EXE, {"download"}).status, 0);
        const ToolResult single =
            run_command(dir_.path(), SMWAVE_EVENT_EXE, {"--out", "single", "download/"});
        ASSERT_EQ(single.status, 0) << single.err;
        single_ = read_file(dir_ / "single" / "flatfile.csv");
    }
    TempDir dir_;
    std::string single_;
};

// A one-node Slurm cluster in a temporary folder: munged, slurmctld and slurmd in the foreground,
// ended (SIGTERM, then SIGKILL) when it goes.
class SlurmCluster {
  public:
    // Starts the daemons; `why_not` says why the cluster cannot run here, else is empty.
    SlurmCluster() {
        for (const char* program : {"munged", "slurmctld", "slurmd", "sbatch", "squeue", "sinfo"}) {
            if (!on_path(program)) {
                why_not =
                    std::string(program) + " is missing: install Slurm with tools/install-deps --cluster";
                return;
            }
        }
        if (::geteuid() != 0) {
            why_not = "the test cluster's daemons run as root, and the tests do not";
            return;
        }
        const fs::path d = dir_.path();
        fs::create_directories(d / "state");
        fs::create_directories(d / "spool");
        fs::permissions(d, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        std::string key(1024, '\0');
        std::ifstream("/dev/urandom", std::ios::binary)
            .read(key.data(), static_cast<std::streamsize>(key.size()));
        write_file(d / "munge.key", key);
        fs::permissions(d / "munge.key", fs::perms::owner_read);
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        std::string node = host;
        node = node.substr(0, node.find('.'));
        // Ports of their own, so that clusters of tests running at once do not meet.
        const int port = 20000 + static_cast<int>(::getpid() % 20000) * 2;
        const std::string s = d.string();
        write_file(
            d / "slurm.conf",
            "ClusterName=smwavetest\nSlurmctldHost=" + node +
                "(127.0.0.1)\nSlurmUser=root\nSlurmdUser=root\n"
                "SlurmctldPort=" +
                std::to_string(port) + "\nSlurmdPort=" + std::to_string(port + 1) +
                "\nAuthType=auth/munge\nCredType=cred/munge\nAuthInfo=socket=" + s +
                "/munge.socket\n"
                "StateSaveLocation=" +
                s + "/state\nSlurmdSpoolDir=" + s +
                "/spool\n"
                "SlurmctldPidFile=" +
                s + "/slurmctld.pid\nSlurmdPidFile=" + s +
                "/slurmd.pid\n"
                "SlurmctldLogFile=" +
                s + "/slurmctld.log\nSlurmdLogFile=" + s +
                "/slurmd.log\n"
                "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\nMpiDefault=none\n"
                "SchedulerType=sched/backfill\nSelectType=select/cons_tres\nSelectTypeParameters=CR_CPU\n"
                "ReturnToService=2\nJobCompType=jobcomp/none\nAccountingStorageType=accounting_storage/none\n"
                "JobAcctGatherType=jobacct_gather/none\nNodeName=" +
                node + " NodeAddr=127.0.0.1 CPUs=" +
                std::to_string(std::max(1u, std::thread::hardware_concurrency())) +
                " State=UNKNOWN\n"
                "PartitionName=test Nodes=" +
                node + " Default=YES MaxTime=INFINITE State=UP\n");
        ::setenv("SLURM_CONF", (d / "slurm.conf").c_str(), 1);
        start("munged", {"-F", "-f", "--key-file=" + s + "/munge.key", "--socket=" + s + "/munge.socket",
                         "--pid-file=" + s + "/munged.pid", "--log-file=" + s + "/munged.log",
                         "--seed-file=" + s + "/munged.seed"});
        if (!wait_until([&] { return fs::exists(d / "munge.socket"); }, 20)) {
            why_not = "munged did not start: " + read_file(d / "munged.log");
            return;
        }
        start("slurmctld", {"-D", "-f", s + "/slurm.conf"});
        start("slurmd", {"-D", "-f", s + "/slurm.conf"});
        if (!wait_until([&] { return shell(d, "sinfo -h -o %t").out == "idle\n"; }, 60))
            why_not = "the node did not become idle: " + read_file(d / "slurmctld.log") +
                      read_file(d / "slurmd.log");
    }
    ~SlurmCluster() {
        for (auto daemon = daemons_.rbegin(); daemon != daemons_.rend(); ++daemon) {
            (*daemon)->signal(SIGTERM);
            (*daemon)->wait(std::chrono::seconds(15));
        }
        ::unsetenv("SLURM_CONF");
    }
    SlurmCluster(const SlurmCluster&) = delete;
    SlurmCluster& operator=(const SlurmCluster&) = delete;

    // Whether the queue is empty (every job has ended).
    bool queue_empty() const { return shell(dir_.path(), "squeue -h -o %i").out.empty(); }

    std::string why_not;

  private:
    void start(const std::string& program, std::vector<std::string> arguments) {
        const std::string found = shell("/", "command -v " + program).out;
        daemons_.push_back(std::make_unique<Started>(
            dir_.path(),
            smwave::testing::Launch{.program = found.substr(0, found.find('\n')), .arguments = arguments}));
    }
    TempDir dir_;
    std::vector<std::unique_ptr<Started>> daemons_;
};

TEST_F(ClusterTest, TheSlurmRecipe) {
    const std::string recipe = readme_block({"sbatch", "smwave-event --merge"});
    ASSERT_FALSE(recipe.empty()) << "README.md has no Slurm recipe for smwave-event";
    SlurmCluster cluster;
    if (!cluster.why_not.empty()) GTEST_SKIP() << cluster.why_not;
    const ToolResult submitted = shell(dir_.path(), recipe);
    ASSERT_EQ(submitted.status, 0) << submitted.err;
    ASSERT_TRUE(wait_until([&] { return cluster.queue_empty(); }, 600))
        << "the jobs did not end in 10 minutes";
    ASSERT_TRUE(fs::exists(dir_ / "quake-2024" / "flatfile.csv"))
        << shell(dir_.path(), "cat slurm-*.out").out;
    EXPECT_EQ(read_file(dir_ / "quake-2024" / "flatfile.csv"), single_);
    EXPECT_TRUE(fs::exists(dir_ / "quake-2024" / "flatfile-3-of-4.csv"));
}

TEST_F(ClusterTest, TheGnuParallelRecipe) {
    std::string recipe = readme_block({"parallel --sshlogin", "smwave-event --merge"});
    ASSERT_FALSE(recipe.empty()) << "README.md has no GNU parallel recipe for smwave-event";
    if (!on_path("parallel"))
        GTEST_SKIP() << "GNU parallel is missing: install it with tools/install-deps --cluster";
    // This machine's job slots instead of the hosts.
    const std::string hosts = "node1,node2,node3,node4";
    const std::size_t at = recipe.find(hosts);
    ASSERT_NE(at, std::string::npos) << recipe;
    recipe.replace(at, hosts.size(), ":");
    const ToolResult ran = shell(dir_.path(), recipe, 600);
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(read_file(dir_ / "quake-2024" / "flatfile.csv"), single_);
}

}  // namespace
