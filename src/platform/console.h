// console.h - the console service: standard output for every message, standard input for the
// one-character confirmations, standard error for hints beside the messages.
#pragma once

#include <cstddef>

// The two streams of a console: standard output (Write) and standard error (WriteDiagnostic).
enum class ConsoleStream { kOutput, kError };

class Console {
 public:
  virtual ~Console() = default;

  // Writes |length| bytes and adds nothing. The Windows build's standard output is in text mode,
  // so there each "\n" reaches the console as CR LF, as in any Windows console program; the
  // Linux build writes the bytes unchanged.
  virtual void Write(const char* data, size_t length) = 0;
  // One character from standard input, or -1 when the input has ended.
  virtual int ReadChar() = 0;
  // Writes |length| bytes to standard error: a hint for the person at the console (where in a
  // file the fault lies), kept apart so that the standard output stays the messages alone.
  virtual void WriteDiagnostic(const char* data, size_t length) = 0;
  // Whether |stream| is shown on a console (a terminal) rather than kept in a file or read from a
  // pipe: a progress line that the next one overwrites is worth writing only where it is watched.
  // A console that passes text on answers for the stream the text ends in; one that keeps text
  // answers yes, so that what it keeps is the output as specified.
  virtual bool IsConsole(ConsoleStream /*stream*/) { return true; }

  // printf-style output; a text of any length is written whole.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Print(const char* text);
  // The two outputs of an error: the marker "ERROR: ", then the message.
  void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Warning(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // printf-style output to standard error (WriteDiagnostic).
  void Diagnostic(const char* format, ...) __attribute__((format(printf, 2, 3)));
};
