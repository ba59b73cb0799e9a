// win32_child_processes.cpp - child processes through CreateProcess, their output in inherited
// file handles, each in a new process group (Ctrl+C is not passed to it), waited for together
// with WaitForMultipleObjects.
#include <windows.h>

#include <map>

#include "platform/child_processes.h"

namespace {

std::string SystemWords(DWORD error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof(text), nullptr);
  std::string words(text, length);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
    words.pop_back();
  }
  return words.empty() ? "system error " + std::to_string(error) : words;
}

// A handle the child inherits; shared for reading, so that the parent can follow the log.
HANDLE OpenInherited(const std::string& path, bool write, std::string* error) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileA(
      path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
      &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) *error = path + ": " + SystemWords(GetLastError());
  return file;
}

// One argument as the C runtime's command-line parser reads it back.
void AppendQuoted(std::string* line, const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    *line += argument;
    return;
  }
  *line += '"';
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    *line += std::string(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    *line += c;
  }
  *line += std::string(backslashes * 2, '\\');
  *line += '"';
}

class Win32ChildProcesses : public ChildProcesses {
 public:
  ~Win32ChildProcesses() override {
    for (const auto& [handle, id] : running_) CloseHandle(handle);
  }

  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const ChildOutput& output, ChildId* child, std::string* error) override {
    const HANDLE log = OpenInherited(output.log_path, true, error);
    if (log == INVALID_HANDLE_VALUE) return false;
    HANDLE out = log;
    if (!output.output_path.empty()) {
      out = OpenInherited(output.output_path, true, error);
      if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(log);
        return false;
      }
    }
    const HANDLE input = OpenInherited("NUL", false, error);
    if (input == INVALID_HANDLE_VALUE) {
      if (out != log) CloseHandle(out);
      CloseHandle(log);
      return false;
    }
    std::string line;
    AppendQuoted(&line, program);
    for (const std::string& argument : arguments) {
      line += ' ';
      AppendQuoted(&line, argument);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = out;
    startup.hStdError = log;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process);
    const DWORD start_error = GetLastError();
    CloseHandle(input);
    if (out != log) CloseHandle(out);
    CloseHandle(log);
    if (!started) {
      *error = program + ": " + SystemWords(start_error);
      return false;
    }
    CloseHandle(process.hThread);
    *child = next_id_++;
    running_[process.hProcess] = *child;
    return true;
  }

  bool WaitAny(uint32_t milliseconds, ChildEnd* end) override {
    if (running_.empty()) return false;
    std::vector<HANDLE> handles;
    for (const auto& [handle, id] : running_) handles.push_back(handle);
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                                FALSE, milliseconds);
    if (result >= WAIT_OBJECT_0 + handles.size()) return false;
    const HANDLE ended = handles[result - WAIT_OBJECT_0];
    DWORD code = 0;
    GetExitCodeProcess(ended, &code);
    end->child = running_[ended];
    end->exit_code = static_cast<int>(code);
    end->signal = 0;
    running_.erase(ended);
    CloseHandle(ended);
    return true;
  }

  size_t Running() const override { return running_.size(); }

 private:
  std::map<HANDLE, ChildId> running_;
  ChildId next_id_ = 1;
};

}  // namespace

std::unique_ptr<ChildProcesses> CreateChildProcesses() {
  return std::make_unique<Win32ChildProcesses>();
}

std::string ProgramBeside(const char* name) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  const std::string self(path, length);
  const size_t slash = self.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  return self.substr(0, slash + 1) + name + ".exe";
}
