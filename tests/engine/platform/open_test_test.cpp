// The write-complete test against real second processes.
#include "engine/platform/file_system.h"

#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;
#endif

namespace trellisk::platform {
namespace {

#ifndef _WIN32
using test::TempTree;

// A shell running `script` until the owner goes.
class ShellProcess {
public:
    explicit ShellProcess(const std::string& script) {
        std::string shell = "/bin/sh";
        std::string flag = "-c";
        std::string text = script;
        char* argv[] = {shell.data(), flag.data(), text.data(), nullptr};
        if (::posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
            pid_ = -1;
    }
    ~ShellProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ShellProcess(const ShellProcess&) = delete;
    ShellProcess& operator=(const ShellProcess&) = delete;
    [[nodiscard]] bool running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

#endif

TEST(CanOpenFile, AWriterInALoopCannotEndTheProgram) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows sends no signal when a file is opened: leases and SIGIO are POSIX";
#else
    TempTree tree;
    tree.makeFile("grows");
    const std::string path = tree.path("grows");
    // The loop ends by itself should this process be killed.
    ShellProcess writer("while kill -0 $PPID 2>/dev/null; do echo y >> '" + path + "'; done");
    ASSERT_TRUE(writer.running());

    // Each open for writing that meets a held lease makes the kernel send SIGIO.
    int busy = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        if (!CanOpenFile(path))
            ++busy;
    }
    EXPECT_GT(busy, 0) << "the writer was never seen";
#endif
}

TEST(CanOpenFile, SeesAWriterInAnotherProcess) {
#ifdef _WIN32
    GTEST_SKIP() << "the POSIX shell is the writer here; on Windows the Windows table's "
                    "share-mode case runs a writer process of its own";
#else
    TempTree tree;
    tree.makeFile("held");
    const std::string path = tree.path("held");
    {
        ShellProcess writer("exec 3>>'" + path + "'; : > '" + path + ".open'; exec sleep 10");
        ASSERT_TRUE(writer.running());
        while (::access((path + ".open").c_str(), F_OK) != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(CanOpenFile(path));
    }
    EXPECT_TRUE(CanOpenFile(path));
#endif
}

TEST(CanOpenFile, OpensNothingButRegularFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs and devices are not entries of a Windows folder";
#else
    TempTree tree;
    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    tree.makeLink("null", "/dev/null");
    EXPECT_FALSE(CanOpenFile(fifo));
    EXPECT_FALSE(CanOpenFile(tree.path("null")));
#endif
}

} // namespace
} // namespace trellisk::platform
