#include "service/Envelope.h"

namespace vexa::service {

Value Envelope::data(Value object) {
  return Value::dict({{"error_code", 0}, {"message", "ok"}, {"data", std::move(object)}});
}

Value Envelope::dataList(Value::Array list) {
  return Value::dict({{"error_code", 0}, {"message", "ok"}, {"data_list", Value(std::move(list))}});
}

Value Envelope::error(ServiceError code, std::string message) {
  return Value::dict({{"error_code", static_cast<int64_t>(code)}, {"message", std::move(message)}});
}

}  // namespace vexa::service
