// The command-line form of the conversion: converts a UTF-8 file (or
// standard input) to its readable text on standard output.
//
// Every replacement the conversion makes looks at one code unit alone, so
// the readable text of a text is that of its pieces, end to end. The input
// is converted a piece at a time, each small enough that the conversion's
// steps run within the processor's cache: memory stays bounded whatever the
// input's size, and no step waits on fresh pages.
//
// Input that is not UTF-8 is converted up to its first fault, as a stream
// converter does; the fault's offset is reported and the exit status is 1.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__unix__)
#include <sys/mman.h>
#include <sys/stat.h>
#endif

#include "convert/json_format.h"
#include "host/runtime/runtime_error.h"
#include "host/runtime/utf8.h"

namespace {

constexpr int kFailure = 1;
// Input bytes per piece: its UTF-16 text and the steps' results stay in the
// second-level cache.
constexpr std::size_t kPieceBytes = std::size_t{64} << 10;
// Allocations below this come from the heap, which is not trimmed below it.
constexpr int kHeapBytes = 64 << 20;
// Output is handed to the system in writes of about this many bytes.
constexpr std::size_t kWriteBytes = std::size_t{1} << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The input bytes: a file mapped as it is, or what a stream gave.
struct Input {
  std::vector<char> read;
  std::shared_ptr<const char> mapped;
  std::string_view bytes;
};

// The whole stream, read in doubling blocks.
Input ReadAll(std::FILE* in) {
  Input input;
  input.read.resize(kPieceBytes);
  std::size_t size = 0;
  for (;;) {
    size += std::fread(input.read.data() + size, 1, input.read.size() - size, in);
    if (size < input.read.size()) break;
    input.read.resize(2 * input.read.size());
  }
  if (std::ferror(in) != 0) throw std::runtime_error("read failed");
  input.bytes = std::string_view(input.read.data(), size);
  return input;
}

#if defined(__unix__)
// A regular file is mapped whole: its pages come from the file cache, with
// no copy. Anything else is read.
Input ReadFile(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fileno(file), 0);
    if (at != MAP_FAILED) {
      Input input;
      input.mapped.reset(static_cast<const char*>(at),
                         [size](const char* base) { munmap(const_cast<char*>(base), size); });
      input.bytes = std::string_view(input.mapped.get(), size);
      return input;
    }
  }
  return ReadAll(file);
}
#else
Input ReadFile(std::FILE* file) { return ReadAll(file); }
#endif

// The length of the next piece of `bytes`: about kPieceBytes, ending where
// a UTF-8 sequence starts, so that each piece transcodes alone exactly as
// it would within the whole. Where four bytes in a row continue a sequence,
// the fourth cannot belong to one, and the piece ends before it.
std::size_t PieceLength(std::string_view bytes) {
  if (bytes.size() <= kPieceBytes) return bytes.size();
  const auto continues = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80;
  };
  constexpr std::size_t kLongestSequence = 4;
  for (std::size_t end = kPieceBytes; end > kPieceBytes - kLongestSequence; --end) {
    if (!continues(end)) return end;
  }
  return kPieceBytes;
}

// The UTF-16 text of `piece`, which starts `offset` bytes into the input.
// A fault leaves `wide` with the text before it.
std::optional<host::EncodingError> Widen(std::size_t offset, std::string_view piece,
                                         host::String& wide) {
  std::optional<host::EncodingError> fault;
  wide.resize(piece.size());
  try {
    wide.resize(host::Utf8ToUtf16Into(piece, wide.data()));
  } catch (const host::EncodingError& error) {
    fault.emplace(error.Fault(), offset + error.Offset());
    wide.resize(host::Utf8ToUtf16Into(piece.substr(0, error.Offset()), wide.data()));
  }
  return fault;
}

// Collects UTF-8 output and hands it to the system in large writes.
class Output {
 public:
  Output() : bytes_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

  void Append(host::StringView text) {
    // Three bytes a unit at most: a surrogate pair makes four of two.
    if (kCapacity - size_ < kUtf8PerUnit * text.size()) Flush();
    if (kCapacity - size_ < kUtf8PerUnit * text.size()) throw std::bad_alloc();
    size_ += host::Utf16ToUtf8Into(text, bytes_.get() + size_);
    if (size_ >= kWriteBytes) Flush();
  }

  bool Close() {
    Flush();
    return ok_ && std::fflush(stdout) == 0;
  }

 private:
  static constexpr std::size_t kUtf8PerUnit = 3;
  // Room for a full write and then the largest piece's output: a piece of
  // n bytes is at most 3n units (a unit grows to three at most).
  static constexpr std::size_t kCapacity = kWriteBytes + kUtf8PerUnit * 3 * kPieceBytes;

  void Flush() {
    ok_ = ok_ && std::fwrite(bytes_.get(), 1, size_, stdout) == size_;
    size_ = 0;
  }

  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  bool ok_ = true;
};

// Writes the readable text of `bytes`; throws at a fault once the text
// before it is written.
bool Format(std::string_view bytes) {
  Output output;
  std::optional<host::EncodingError> fault;
  for (std::size_t offset = 0; offset < bytes.size() && !fault;) {
    const std::string_view piece = bytes.substr(offset, PieceLength(bytes.substr(offset)));
    host::String wide;
    fault = Widen(offset, piece, wide);
    output.Append(convert::JSONFormat(std::move(wide)));
    offset += piece.size();
  }
  const bool written = output.Close();
  if (fault) throw *fault;
  return written;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Each piece makes and frees the same few strings. Kept on the heap and
  // never trimmed from it, they reuse the same pages all the way through,
  // instead of mapping and faulting fresh ones for every piece.
  mallopt(M_MMAP_THRESHOLD, kHeapBytes);
  mallopt(M_TRIM_THRESHOLD, kHeapBytes);
#endif
  if (argc > 2) {
    std::fputs("usage: quillfen-format [FILE]\n", stderr);
    return kFailure;
  }
#if defined(_WIN32)
  // Bytes through unchanged: the result's CR LF must not become CR CR LF.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const char* source = argc == 2 ? argv[1] : "standard input";
  try {
    Input input;
    try {
      if (argc == 2) {
        const File file(std::fopen(argv[1], "rb"));
        if (!file) throw std::runtime_error("cannot open");
        input = ReadFile(file.get());
      } else {
        input = ReadFile(stdin);
      }
    } catch (const std::runtime_error&) {
      std::fprintf(stderr, "quillfen-format: cannot read %s\n", source);
      return kFailure;
    }
    if (Format(input.bytes)) return 0;
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
