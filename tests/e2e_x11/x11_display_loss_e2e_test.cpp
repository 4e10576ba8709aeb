// The X server ends while lentaro runs: the program ends soon after, saying why in one line.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace lentaro_e2e {
namespace {

class LentaroDisplayLossTest : public LentaroX11Test {};

TEST_F(LentaroDisplayLossTest, TheProgramEndsWithinASecondWithOneLineOnStandardError) {
    char errorPath[] = "/tmp/lentaro-display-loss-XXXXXX";
    const int fd = mkstemp(errorPath);
    ASSERT_GE(fd, 0);
    close(fd);
    client->MovePointer(300, 400);
    app = e2e::ChildProcess({"sh", "-c", "exec \"$0\" 2>\"$1\"", LENTARO_EXECUTABLE, errorPath},
                            {"DISPLAY=" + xvfb->DisplayName()});
    ASSERT_TRUE(e2e::WaitUntil([&] { return client->FindWindow("Lentaro").has_value(); }, 10s));
    for (int x = 300; x < 400; x += 20) {
        client->MovePointer(x, 400);
        std::this_thread::sleep_for(50ms);
    }
    // Our own connection goes first: Xlib would end this test process when the server dies.
    client.reset();
    const auto killed = std::chrono::steady_clock::now();
    xvfb->Process().Kill();
    const std::optional<int> code = app.Wait(3s);
    const auto ended = std::chrono::steady_clock::now();
    ASSERT_TRUE(code.has_value()) << "lentaro did not end after the display went away";
    EXPECT_EQ(*code, 0);
    EXPECT_LT(ended - killed, 1s);
    std::ifstream errors(errorPath);
    const std::string text((std::istreambuf_iterator<char>(errors)), std::istreambuf_iterator<char>());
    std::remove(errorPath);
    EXPECT_EQ(text, "Lentaro: the connection to the X display was lost\n");
}

} // namespace
} // namespace lentaro_e2e
