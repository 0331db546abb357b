#include "vexa/platform/LibplistCodec.h"

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

#include "vexa/platform/PropertyList.h"

namespace vexa {

namespace {

struct PlistDeleter {
  void operator()(void* p) const { plist_free(static_cast<plist_t>(p)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
using CString = std::unique_ptr<char, FreeDeleter>;


Result<Value> fromNode(plist_t node, int depth) {
  if (depth > PropertyList::kMaxDepth) {
    return Error(PropertyList::kErrorDomain, PropertyList::kMalformed, "property list nests too deeply");
  }
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<int64_t>(u));
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return Value(static_cast<int64_t>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return Value(static_cast<double>(sec) + static_cast<double>(usec) / 1e6);
    }
    case PLIST_STRING: {
      // The pointer getter takes the length as stored; the copying one
      // aborts on a string holding a NUL.
      uint64_t len = 0;
      const char* s = plist_get_string_ptr(node, &len);
      return Value(s ? std::string(s, len) : std::string());
    }
    case PLIST_KEY: {
      char* raw = nullptr;
      plist_get_key_val(node, &raw);
      CString s(raw);
      return Value(std::string(s ? s.get() : ""));
    }
    case PLIST_DATA: {
      char* raw = nullptr;
      uint64_t len = 0;
      plist_get_data_val(node, &raw, &len);
      CString d(raw);
      const auto* p = reinterpret_cast<const uint8_t*>(d.get());
      return Value(Bytes(p, p + (p ? len : 0)));
    }
    case PLIST_ARRAY: {
      Value::Array out;
      uint32_t n = plist_array_get_size(node);
      out.reserve(n);
      for (uint32_t i = 0; i < n; ++i) {
        plist_t item = plist_array_get_item(node, i);
        if (!item) continue;
        auto v = fromNode(item, depth + 1);
        if (!v) return v;
        out.push_back(std::move(v).value());
      }
      return Value(std::move(out));
    }
    case PLIST_DICT: {
      Value::Dictionary out;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &rawKey, &item);
        CString key(rawKey);
        if (!item) break;
        auto v = fromNode(item, depth + 1);
        if (!v) {
          std::free(it);
          return v;
        }
        out.insert_or_assign(std::string(key ? key.get() : ""), std::move(v).value());
      }
      std::free(it);
      return Value(std::move(out));
    }
    case PLIST_NONE:
      break;
  }
  return Error(PropertyList::kErrorDomain, PropertyList::kUnsupported,
               "property list holds a value of unknown type");
}

Result<PlistPtr> toNode(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null:
      return Error(PropertyList::kErrorDomain, PropertyList::kUnsupported,
                   "property lists cannot hold null");
    case Value::Type::Boolean:
      return PlistPtr(plist_new_bool(*v.asBool() ? 1 : 0));
    case Value::Type::Integer:
      return PlistPtr(plist_new_uint(static_cast<uint64_t>(*v.asInteger())));
    case Value::Type::Real:
      return PlistPtr(plist_new_real(*v.asReal()));
    case Value::Type::String:
      return PlistPtr(plist_new_string(v.asString()->c_str()));
    case Value::Type::Data:
      return PlistPtr(plist_new_data(reinterpret_cast<const char*>(v.asData()->data()),
                                     v.asData()->size()));
    case Value::Type::Array: {
      PlistPtr arr(plist_new_array());
      for (const Value& e : *v.asArray()) {
        auto child = toNode(e);
        if (!child) return child;
        plist_array_append_item(arr.get(), child->release());
      }
      return arr;
    }
    case Value::Type::Dictionary: {
      PlistPtr dict(plist_new_dict());
      for (const auto& [k, e] : *v.asDictionary()) {
        auto child = toNode(e);
        if (!child) return child;
        plist_dict_set_item(dict.get(), k.c_str(), child->release());
      }
      return dict;
    }
  }
  return Error(PropertyList::kErrorDomain, PropertyList::kUnsupported, "unsupported value");
}

}  // namespace

Result<Value> LibplistCodec::parse(std::string_view bytes) {
  using PL = PropertyList;
  plist_t raw = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
  PlistPtr root(raw);
  if (!root) return Error(PL::kErrorDomain, PL::kMalformed, "property list is malformed");
  if (bytes.substr(0, 6) == "bplist") {
    // libplist aborts when it hands out a binary dictionary key holding a
    // NUL; its XML form ends the key there, so binary input is read
    // through it.
    char* xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(root.get(), &xml, &len);
    CString owned(xml);
    raw = nullptr;
    if (owned) plist_from_xml(owned.get(), len, &raw);
    root.reset(raw);
    if (!root) return Error(PL::kErrorDomain, PL::kMalformed, "property list is malformed");
  }
  return fromNode(root.get(), 0);
}

Result<std::string> LibplistCodec::toXml(const Value& value) {
  using PL = PropertyList;
  auto node = toNode(value);
  if (!node) return node.error();
  char* xml = nullptr;
  uint32_t len = 0;
  plist_to_xml(node->get(), &xml, &len);
  CString owned(xml);
  if (!owned) return Error(PL::kErrorDomain, PL::kUnsupported, "property list could not be written");
  return std::string(owned.get(), len);
}

}  // namespace vexa
