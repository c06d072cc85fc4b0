#include "bench/json_sample.h"

namespace bench {

std::string MinifiedJson(std::size_t bytes) {
  std::string json = "[";
  for (std::size_t record = 0; json.size() < bytes; ++record) {
    if (record != 0) json += ',';
    json += "{\"id\":" + std::to_string(record) +
            ",\"name\":\"caf\xC3\xA9 " + std::to_string(record % 97) +
            "\",\"tags\":[\"a\",\"b\"],\"geo\":{\"lat\":51.5,\"lon\":-0.12},\"ok\":true}";
  }
  json += ']';
  return json;
}

}  // namespace bench
