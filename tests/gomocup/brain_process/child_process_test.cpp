// A brain as a child process: its last line, a program that cannot start,
// and the descriptors it inherits.

#include "tools/gomocup/brain_process/child_process.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvex::match {
namespace {

TEST(ChildProcessTest, UnfinishedLastLineComesBeforeTheEnd) {
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(
      child.Spawn({"/bin/sh", "-c", "exec 0<&-; printf 'MESSAGE a\\r\\n4,5'; exit 7"}, "/", error))
      << error;
  std::string line;
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "MESSAGE a");
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "4,5");
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Closed);
  // Its input was closed before it wrote: writing fails with EPIPE instead
  // of killing us by SIGPIPE.
  EXPECT_FALSE(child.WriteLine("TURN 1,1"));
  child.Stop(1000);
  EXPECT_EQ(child.exitDescription(), "exited with code 7");
  EXPECT_FALSE(child.Running());
}

TEST(ChildProcessTest, ExecFailureIsReportedWithItsCause) {
  ChildProcess child;
  std::string error;
  EXPECT_FALSE(child.Spawn({"/nonexistent/brain"}, "/", error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_FALSE(child.Spawn({"/bin/sh"}, "/nonexistent-dir", error));
  EXPECT_NE(error.find("in /nonexistent-dir"), std::string::npos) << error;
  EXPECT_FALSE(child.Running());
}

TEST(ChildProcessTest, ABrainInheritsNoDescriptorALibraryLeftOpen) {
  // Like the web server's sockets: open without close-on-exec.
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  ASSERT_EQ(dup2(socket, 100), 100);
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(child.Spawn({"/bin/sh", "-c", "test -e /proc/$$/fd/100 && echo leaked || echo clean"},
                          "/", error))
      << error;
  std::string line;
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "clean");
  child.Stop(1000);
  close(100);
  close(socket);
}

}  // namespace
}  // namespace quorvex::match
