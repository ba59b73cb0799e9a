// operator_console.h - what a program an operator watches needs of the console beyond writing
// lines: redrawing lines in place, and learning that the operator pressed Ctrl+C.
#pragma once

#include <memory>

class ScreenCursor {
 public:
  virtual ~ScreenCursor() = default;
  // Moves the cursor of the console that shows standard output to the start of the line |lines|
  // above the one it is on, so that the lines written next replace those. Standard output is
  // flushed first.
  virtual void Up(int lines) = 0;
};

std::unique_ptr<ScreenCursor> CreateScreenCursor();

// Ctrl+C (and Ctrl+Break on Windows) as a request to stop, for as long as the watch lives: the
// process is not ended, and a wait or a read of standard input in progress may return early.
class InterruptWatch {
 public:
  virtual ~InterruptWatch() = default;
  // Whether Ctrl+C was pressed since the watch began.
  virtual bool Requested() = 0;
};

std::unique_ptr<InterruptWatch> WatchInterrupt();
