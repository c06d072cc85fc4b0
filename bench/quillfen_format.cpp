// The command-line form of the conversion: converts a UTF-8 file (or
// standard input) to its readable text on standard output. The input is
// read in one go (a file is mapped), transcoded to UTF-16 and back with the
// host's vectorised transcoders, and the output written in one call.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif
#if defined(__unix__)
#include <sys/mman.h>
#include <sys/stat.h>
#endif

#include "convert/json_format.h"
#include "host/runtime/runtime_error.h"
#include "host/runtime/text_storage.h"
#include "host/runtime/utf8.h"

namespace {

constexpr int kFailure = 1;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A buffer from the host's string storage, left uninitialised: large
// buffers come in huge pages and reuse the blocks the conversion releases.
template <class T>
class Buffer {
 public:
  explicit Buffer(std::size_t size)
      : size_(std::max<std::size_t>(size, 1)), data_(Allocator().allocate(size_)) {}
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() { Allocator().deallocate(data_, size_); }

  T* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  using Allocator = host::TextAllocator<T>;
  std::size_t size_;
  T* data_;
};

// The input bytes: a file mapped as it is, or a buffer filled from a stream.
struct Input {
  std::unique_ptr<Buffer<char>> buffer;
  std::shared_ptr<const char> mapped;
  std::string_view bytes;
};

// The whole stream. A file's size is known ahead, so it is read with one
// call; a pipe is read in doubling blocks.
std::optional<Input> ReadAll(std::FILE* in) {
  std::size_t expected = std::size_t{1} << 16;
  if (std::fseek(in, 0, SEEK_END) == 0) {
    const long end = std::ftell(in);
    if (end > 0 && std::fseek(in, 0, SEEK_SET) == 0) expected = static_cast<std::size_t>(end) + 1;
  }
  auto buffer = std::make_unique<Buffer<char>>(expected);
  std::size_t size = 0;
  for (;;) {
    size += std::fread(buffer->data() + size, 1, buffer->size() - size, in);
    if (size < buffer->size()) break;
    auto larger = std::make_unique<Buffer<char>>(2 * buffer->size());
    std::memcpy(larger->data(), buffer->data(), size);
    buffer = std::move(larger);
  }
  if (std::ferror(in) != 0) return std::nullopt;
  const std::string_view bytes(buffer->data(), size);
  return Input{std::move(buffer), nullptr, bytes};
}

#if defined(__unix__)
// A regular file is mapped whole, its pages taken from the file cache at
// once: no copy, and no fresh memory to clear. Anything else is read.
std::optional<Input> ReadFile(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fileno(file), 0);
    if (at != MAP_FAILED) {
      std::shared_ptr<const char> mapped(static_cast<const char*>(at),
                                         [size](const char* base) { munmap(const_cast<char*>(base), size); });
      return Input{nullptr, mapped, std::string_view(mapped.get(), size)};
    }
  }
  return ReadAll(file);
}
#else
std::optional<Input> ReadFile(std::FILE* file) { return ReadAll(file); }
#endif

// Converts the input and writes the result; each buffer goes as soon as
// the next one is made from it.
bool Format(Input input) {
  auto wide = std::make_unique<Buffer<char16_t>>(input.bytes.size());
  const std::size_t units = host::Utf8ToUtf16Into(input.bytes, wide->data());
  input = Input{};
  const host::String readable = convert::JSONFormat(host::StringView(wide->data(), units));
  wide.reset();
  const Buffer<char> output(host::Utf8Length(readable));
  const std::size_t size = host::Utf16ToUtf8Into(readable, output.data());
  return std::fwrite(output.data(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fputs("usage: quillfen-format [FILE]\n", stderr);
    return kFailure;
  }
#if defined(_WIN32)
  // Bytes through unchanged: the result's CR LF must not become CR CR LF.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  try {
    std::optional<Input> input;
    if (argc == 2) {
      const File file(std::fopen(argv[1], "rb"));
      if (file) input = ReadFile(file.get());
      if (!input) {
        std::fprintf(stderr, "quillfen-format: cannot read %s\n", argv[1]);
        return kFailure;
      }
    } else if (!(input = ReadFile(stdin))) {
      std::fputs("quillfen-format: cannot read standard input\n", stderr);
      return kFailure;
    }
    if (Format(std::move(*input))) return 0;
    std::fputs("quillfen-format: cannot write standard output\n", stderr);
  } catch (const host::EncodingError& error) {
    std::fprintf(stderr, "quillfen-format: input is not UTF-8: %s\n", error.what());
  } catch (const host::RuntimeError& error) {
    std::fprintf(stderr, "quillfen-format: %s\n", error.what());
  } catch (const std::bad_alloc&) {
    std::fputs("quillfen-format: out of memory\n", stderr);
  }
  return kFailure;
}
