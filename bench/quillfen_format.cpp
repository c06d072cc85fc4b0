// Converts a UTF-8 file (or standard input) to its readable text on
// standard output, so the conversion can be timed beside other tools.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "convert/json_format.h"
#include "host/runtime/runtime_error.h"
#include "host/runtime/utf8.h"

namespace {

constexpr int kFailure = 1;

std::string ReadAll(std::istream& in) {
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return std::move(buffer).str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: quillfen-format [FILE]\n";
    return kFailure;
  }
  std::string input;
  if (argc == 2) {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "quillfen-format: cannot open " << argv[1] << "\n";
      return kFailure;
    }
    input = ReadAll(file);
  } else {
    input = ReadAll(std::cin);
  }
  try {
    const std::string output = host::Utf16ToUtf8(convert::JSONFormat(host::Utf8ToUtf16(input)));
    std::fwrite(output.data(), 1, output.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : kFailure;
  } catch (const host::EncodingError& error) {
    std::cerr << "quillfen-format: input is not UTF-8: " << error.what() << "\n";
  } catch (const host::RuntimeError& error) {
    std::cerr << "quillfen-format: " << error.what() << "\n";
  }
  return kFailure;
}
