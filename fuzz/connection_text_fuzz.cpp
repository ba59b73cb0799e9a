// connection_text_fuzz.cpp - libFuzzer target: a connection string with a password written in one
// of the forms the drivers accept, amid any other text. Neither the name messages give the
// database nor the driver's words (quoting the string, or the password alone) may hold it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database.h"

namespace {

// What a driver may say: the connection string quoted, or the password alone.
constexpr char kEcho[] = "connection failed: ";
constexpr char kDriverWords[] = "password authentication failed: '";

// The password as the form |form| writes it, with its key in an odd case and blanks around '='.
std::string Written(uint8_t form, const std::string& password) {
  const char* const keys[] = {"PWD", "pwd", "Password", "PASSWORD", "PassWord "};
  const std::string key = keys[form % 5];
  const std::string equals = (form & 0x10) != 0 ? " = " : "=";
  switch ((form >> 5) % 5) {
    case 0:
      return key + equals + password;
    case 1: {
      std::string braced;
      for (const char c : password) braced += c == '}' ? std::string("}}") : std::string(1, c);
      return key + equals + "{" + braced + "}";
    }
    case 2:
      return "pqopt={host=db1 password" + equals + password + " user=u}";
    case 3: {
      std::string quoted;
      for (const char c : password) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
      }
      return "pqopt={password='" + quoted + "'}";
    }
    default: {
      std::string escaped;
      char hex[4];
      for (const char c : password) {
        std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
        escaped += hex;
      }
      return "Server=postgresql://u:" + escaped + "@db1:5432/qnt5200";
    }
  }
}

// Whether |password| can be written bare in |form| and stay one value.
bool Fits(uint8_t form, const std::string& password) {
  const int kind = (form >> 5) % 5;
  if (kind == 0) {
    return password.find_first_of(";{} \t") == std::string::npos && password[0] != '\'' &&
           password[0] != '"';
  }
  if (kind == 2) return password.find_first_of(";{}' \t\"") == std::string::npos;
  if (kind == 3) return password.find_first_of("}") == std::string::npos;
  return true;
}

void Require(const std::string& output, const std::string& password) {
  if (output.find(password) != std::string::npos) {
    std::fprintf(stderr, "the password shows: %s\n", output.c_str());
    std::abort();
  }
}

}  // namespace

// Input: the form, the password's length, then the password and the text around it, split at
// the first byte 0 (before it: text before the password; after: text after).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t form = data[0];
  const size_t length = data[1] % 32 + 1;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (rest.size() < length) return 0;
  const std::string password(rest.substr(0, length));
  // A password of stars alone cannot be told from the mask that hides it; nor can a byte 0
  // be part of a connection string.
  if (password.find_first_not_of('*') == std::string::npos ||
      password.find('*') != std::string::npos || password.find('\0') != std::string::npos ||
      !Fits(form, password)) {
    return 0;
  }
  // The system's own words may hold a short password by chance: that shows nothing.
  for (const std::string_view fixed : {std::string_view(kConnectionInEnvironment),
                                       std::string_view(kEcho), std::string_view(kDriverWords)}) {
    if (fixed.find(password) != std::string_view::npos) return 0;
  }
  const std::string_view around = rest.substr(length);
  const size_t split = std::min(around.find('\0'), around.size());
  const std::string before(around.substr(0, split));
  const std::string after(split < around.size() ? around.substr(split + 1) : std::string_view());
  const std::string connection = before + ";" + Written(form, password) + ";" + after;

  const std::vector<std::string> secrets = ConnectionSecrets(connection);
  Require(ConnectionServer(connection), password);
  Require(WithoutSecrets(kEcho + connection, secrets), password);
  Require(WithoutSecrets(kDriverWords + password + "'", secrets), password);
  return 0;
}
