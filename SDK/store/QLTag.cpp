#include "vexa/store/QLTag.h"

#include "vexa/store/RecordCoding.h"

namespace vexa {
namespace {
const std::string kEmpty;
}

const std::string& QLTag::guid() const { return guid_ ? *guid_ : kEmpty; }
const std::string& QLTag::label() const { return label_ ? *label_ : kEmpty; }

void QLTag::updateWithKeyValues(const Value& kv) {
  RecordCoding::readString(kv, "guid", guid_);
  RecordCoding::readString(kv, "label", label_);
}

Value QLTag::keyValues() const {
  Value kv = Value::dict();
  RecordCoding::writeString(kv, "guid", guid_);
  RecordCoding::writeString(kv, "label", label_);
  return kv;
}

}  // namespace vexa
