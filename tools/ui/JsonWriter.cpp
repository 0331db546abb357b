#include "JsonWriter.h"

#include <nlohmann/json.hpp>

namespace vexa::tool::ui {

namespace {

using Json = nlohmann::ordered_json;

Json toJson(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return nullptr;
    case Value::Type::Boolean: return *v.asBool();
    case Value::Type::Integer: return *v.asInteger();
    case Value::Type::Real: return *v.asReal();
    case Value::Type::String: return *v.asString();
    case Value::Type::Data: return v.description();
    case Value::Type::Array: {
      Json a = Json::array();
      for (const auto& e : *v.asArray()) a.push_back(toJson(e));
      return a;
    }
    case Value::Type::Dictionary: {
      Json o = Json::object();
      for (const auto& [key, e] : *v.asDictionary()) o[key] = toJson(e);
      return o;
    }
  }
  return nullptr;
}

Json node(const VisibleNode& n) {
  const View& v = *n.view;
  Json children = Json::array();
  for (const auto& child : n.children) children.push_back(node(child));
  return Json{{"class", VisibleTree::className(v)},
              {"id", v.accessibilityIdentifier()},
              {"label", v.accessibilityLabel()},
              {"text", VisibleTree::text(v)},
              {"frame", {n.frame.x(), n.frame.y(), n.frame.width(), n.frame.height()}},
              {"selected", VisibleTree::isSelected(v)},
              {"enabled", VisibleTree::isEnabled(v)},
              {"children", std::move(children)}};
}

// Text that is not UTF-8 (it cannot come from the SDK's models, but a
// view's label could hold any bytes) is replaced, never a throw.
std::string dumped(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

void JsonWriter::line(const std::string& json) {
  out_ << json << '\n';
  out_.flush();
}

void JsonWriter::event(const std::string& name, const Value& fields) {
  Json o{{"event", name}};
  if (const auto* dict = fields.asDictionary())
    for (const auto& [key, value] : *dict) o[key] = toJson(value);
  line(dumped(o));
}

void JsonWriter::tree(const VisibleNode& root) {
  line(dumped(Json{{"tree", node(root)}}));
}

void JsonWriter::input(const InputState& s) {
  Json o{{"input",
          {{"plain", s.plain},
           {"caret", s.caret},
           {"attachments", s.attachments},
           {"firstResponder", s.firstResponder},
           {"keyboard", s.keyboard}}}};
  line(dumped(o));
}

}  // namespace vexa::tool::ui
