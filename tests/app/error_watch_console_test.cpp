// error_watch_console_test.cpp - reading marked messages out of output written in any pieces.
#include "app/error_watch_console.h"

#include <gtest/gtest.h>

#include "support/capture_console.h"

namespace {

TEST(ErrorWatchConsole, MessageTextMayStartOnTheMarkersNextLine) {
  CaptureConsole inner;
  ErrorWatchConsole console(inner);
  console.Error("\nData mismatch on byte #%d\n", 1);
  console.Print("Releasing the MCU\n");
  const ConsoleMessages messages = console.messages();
  ASSERT_EQ(messages.marked.size(), 1u);
  EXPECT_TRUE(messages.marked[0].error);
  EXPECT_EQ(messages.marked[0].text, "Data mismatch on byte #1");
  EXPECT_EQ(messages.last_plain_line, "Releasing the MCU");
  EXPECT_EQ(console.first_error(), "Data mismatch on byte #1");
  EXPECT_EQ(inner.output(), "ERROR: \nData mismatch on byte #1\nReleasing the MCU\n");
}

}  // namespace
