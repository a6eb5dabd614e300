// What a route answers: a status, a content type and the body. Routes build
// replies without knowing the HTTP library, so they can be tested directly.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace web {

// A request's query parameters, decoded (the HTTP library's own type).
using Params = std::multimap<std::string, std::string>;

struct Reply {
  int status = 200;
  std::string content_type = "application/json";
  std::string body;
};

// The first value of `key`, if any.
std::optional<std::string> Param(const Params& params, const std::string& key);

// A JSON body; strings must be valid UTF-8.
Reply JsonReply(const nlohmann::ordered_json& value, int status = 200);

// {"error": message}; a message that is not valid UTF-8 is read as
// ISO-8859-1.
Reply ErrorReply(int status, std::string_view message);

}  // namespace web
