#include "web/reply.h"

#include "common/utf8.h"

namespace web {

std::optional<std::string> Param(const Params& params, const std::string& key) {
  const auto it = params.find(key);
  if (it == params.end()) return std::nullopt;
  return it->second;
}

Reply JsonReply(const nlohmann::ordered_json& value, int status) {
  return Reply{status, "application/json", value.dump()};
}

Reply ErrorReply(int status, std::string_view message) {
  nlohmann::ordered_json body;
  body["error"] = utf8::as_utf8(message);
  return JsonReply(body, status);
}

}  // namespace web
