// database_text.cpp - what a connection string may show of itself: the server it names, and
// never its password.
#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/database.h"

namespace {

struct ConnectionPart {
  std::string key;         // as written, blanks around it dropped
  size_t value_begin = 0;  // within the connection string
  size_t value_end = 0;
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameKey(const std::string& key, const char* name) {
  size_t i = 0;
  for (; i < key.size() && name[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(key[i])) !=
        std::tolower(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return i == key.size() && name[i] == '\0';
}

// The KEY=value parts; a value in braces may hold ';' and '}}' stands for one '}'.
std::vector<ConnectionPart> PartsOf(const std::string& connection) {
  std::vector<ConnectionPart> parts;
  size_t at = 0;
  while (at < connection.size()) {
    const size_t equals = connection.find('=', at);
    const size_t semicolon = connection.find(';', at);
    if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
      if (semicolon == std::string::npos) break;
      at = semicolon + 1;
      continue;
    }
    ConnectionPart part{.key = Trimmed(connection.substr(at, equals - at))};
    size_t value = equals + 1;
    while (value < connection.size() && connection[value] == ' ') ++value;
    part.value_begin = value;
    size_t end = value;
    if (value < connection.size() && connection[value] == '{') {
      end = value + 1;
      while (end < connection.size()) {
        if (connection[end] == '}' && end + 1 < connection.size() && connection[end + 1] == '}') {
          end += 2;
        } else if (connection[end] == '}') {
          ++end;
          break;
        } else {
          ++end;
        }
      }
      end = std::min(connection.find(';', end), connection.size());
    } else {
      end = std::min(connection.find(';', value), connection.size());
    }
    part.value_end = end;
    parts.push_back(part);
    at = end + 1;
  }
  return parts;
}

std::string ValueOf(const std::string& connection, const std::vector<ConnectionPart>& parts,
                    std::initializer_list<const char*> names) {
  for (const ConnectionPart& part : parts) {
    for (const char* name : names) {
      if (SameKey(part.key, name)) {
        return Trimmed(connection.substr(part.value_begin, part.value_end - part.value_begin));
      }
    }
  }
  return "";
}

}  // namespace

std::string DatabaseError::Text() const {
  return sqlstate.empty() ? message : "[" + sqlstate + "] " + message;
}

std::string MaskedConnection(const std::string& connection) {
  std::string masked;
  size_t copied = 0;
  for (const ConnectionPart& part : PartsOf(connection)) {
    if (!SameKey(part.key, "PWD") && !SameKey(part.key, "Password")) continue;
    masked += connection.substr(copied, part.value_begin - copied) + "***";
    copied = part.value_end;
  }
  return masked + connection.substr(copied);
}

std::string ConnectionServer(const std::string& connection) {
  const std::vector<ConnectionPart> parts = PartsOf(connection);
  const std::string server = ValueOf(connection, parts, {"Server", "Servername", "Host"});
  if (!server.empty()) {
    const std::string port = ValueOf(connection, parts, {"Port"});
    return port.empty() ? server : server + ":" + port;
  }
  const std::string dsn = ValueOf(connection, parts, {"DSN"});
  return dsn.empty() ? MaskedConnection(connection) : "DSN " + dsn;
}
