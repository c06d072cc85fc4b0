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

std::string MinifiedArabicJson(std::size_t bytes) {
  // "Hello, world", "Cairo" and "Beirut" in Arabic letters.
  constexpr const char* kGreeting = "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84"
                                    "\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85";
  constexpr const char* kPlaces[] = {"\xD8\xA7\xD9\x84\xD9\x82\xD8\xA7\xD9\x87\xD8\xB1\xD8\xA9",
                                     "\xD8\xA8\xD9\x8A\xD8\xB1\xD9\x88\xD8\xAA"};
  std::string json = "[";
  for (std::size_t record = 0; json.size() < bytes; ++record) {
    if (record != 0) json += ',';
    json += "{\"id\":" + std::to_string(record) + ",\"name\":\"" + kGreeting + " " + std::to_string(record % 97) +
            "\",\"city\":\"" + kPlaces[record % 2] + "\",\"geo\":{\"lat\":30.04,\"lon\":31.24},\"ok\":true}";
  }
  json += ']';
  return json;
}

}  // namespace bench
