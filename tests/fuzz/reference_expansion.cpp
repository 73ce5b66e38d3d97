// Reference expansion with a resolver whose values the input chooses: short ones, long ones (up
// to twice the longest command line), ones written straight behind the text, and ones that mark
// the text cut because they outgrow it. The model reads the source as pieces between percent
// signs, line by line.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/reference_expansion.h"
#include "fuzz_check.h"

namespace {

enum class Kind { appended, writtenBehind, outgrowing };

struct Value {
  Kind kind;
  std::string_view bytes;
};

// Long values are runs of one byte. Only what can land in the text is written: no text holds more
// than its capacity, so bytes further on are never read.
char longValues[4][2 * 32768];

struct Resolver {
  std::vector<Value> values;
  std::vector<std::string> asked;
  std::string* log;

  const Value& valueOf(std::string_view name) const {
    size_t pick = name.size() + (name.empty() ? 0 : static_cast<unsigned char>(name[0]));
    return values[pick % values.size()];
  }
};

void resolve(void* context, std::string_view name, Text& dest) {
  auto& resolver = *static_cast<Resolver*>(context);
  resolver.asked.emplace_back(name);
  const Value& value = resolver.valueOf(name);
  if (value.kind == Kind::outgrowing) {
    dest.cut = true;
  } else if (value.kind == Kind::writtenBehind && textRoom(dest) >= value.bytes.size()) {
    memcpy(dest.data + dest.length, value.bytes.data(), value.bytes.size());
    commitWritten(dest, value.bytes.size());
  } else {
    appendText(dest, value.bytes);
  }
}

// The expected text, kept to one byte more than fits; which names were asked for; the log lines,
// with the part of each value that landed; whether a value marked the text cut; the result.
// One model serves every run, so its strings keep their room.
struct Model {
  size_t capacity;
  std::string text;
  std::vector<std::string> asked;
  std::string log;
  bool valueCut;
  int result;
  std::vector<std::string_view> pieces;

  void reset(size_t newCapacity) {
    capacity = newCapacity;
    text.clear();
    asked.clear();
    log.clear();
    valueCut = false;
    result = 1;
    pieces.clear();
  }

  void add(std::string_view piece) {
    size_t room = capacity - text.size();
    text += piece.substr(0, piece.size() < room ? piece.size() : room);
  }
  std::string_view landed(size_t start, size_t end) const {
    size_t last = capacity - 1;
    start = start < last ? start : last;
    end = end < last ? end : last;
    return std::string_view(text).substr(start, end - start);
  }
};

std::string untilZero(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

void expandLineModel(Model& model, std::string_view source, const Resolver& resolver,
                     bool logging) {
  std::vector<std::string_view>& pieces = model.pieces; // split at every percent sign
  pieces.clear();
  for (size_t start = 0;;) {
    size_t end = source.find('%', start);
    pieces.push_back(source.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  bool unpaired = pieces.size() % 2 == 0; // an odd number of percent signs
  size_t paired = unpaired ? pieces.size() - 1 : pieces.size();
  for (size_t i = 0; i < paired; ++i) {
    if (i % 2 == 0) {
      model.add(pieces[i]);
      continue;
    }
    std::string_view name = pieces[i];
    size_t start = model.text.size();
    if (name.size() < referenceNameSize) {
      model.asked.emplace_back(name);
      const Value& value = resolver.valueOf(name);
      if (value.kind == Kind::outgrowing)
        model.valueCut = true;
      else
        model.add(value.bytes);
    }
    if (logging)
      model.log += "Substitute:\t" + std::string(name) + " = " +
                   untilZero(model.landed(start, model.text.size())) + "\n";
  }
  if (unpaired) {
    model.add("%");
    model.add(pieces.back());
    model.result = 0;
  }
}

// Every line on its own; each line feed becomes a blank.
void expandModel(Model& model, std::string_view source, const Resolver& resolver, bool logging) {
  for (size_t start = 0;;) {
    size_t end = source.find('\n', start);
    expandLineModel(model, source.substr(start, end == std::string_view::npos ? end : end - start),
                    resolver, logging);
    if (end == std::string_view::npos) break;
    model.add(" ");
    start = end + 1;
  }
}

// The launcher's log line for each reference told, as the note sees it.
void noteReference(void* context, std::string_view name, const char* value) {
  auto& log = *static_cast<Resolver*>(context)->log;
  log += "Substitute:\t";
  log += name;
  log += " = ";
  log += value;
  log += "\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  // Now and then the launcher's own 32768 bytes; mostly small ones, which cut more often.
  size_t capacity = input.ConsumeIntegralInRange(0, 7) == 0
                        ? 32768
                        : input.ConsumeIntegralInRange<size_t>(1, 600);
  bool logging = input.ConsumeBool();
  static Resolver resolver; // kept across runs like the model, emptied here
  resolver.values.clear();
  resolver.asked.clear();
  static std::string shortValues[4];
  size_t valueCount = input.ConsumeIntegralInRange(1, 4);
  for (size_t i = 0; i < valueCount; ++i) {
    auto kind = static_cast<Kind>(input.ConsumeIntegralInRange(0, 2));
    if (input.ConsumeBool()) {
      size_t length = input.ConsumeIntegralInRange<size_t>(0, sizeof longValues[i]);
      memset(longValues[i], input.ConsumeIntegral<char>(), length < capacity ? length : capacity);
      resolver.values.push_back({kind, std::string_view(longValues[i], length)});
    } else {
      shortValues[i] = input.ConsumeRandomLengthString(64);
      resolver.values.push_back({kind, shortValues[i]});
    }
  }
  std::string source = input.ConsumeRemainingBytesAsString();

  // The launcher's size is allocated once; its guards are checked after every run all the same.
  static GuardedBuffer launcherSized(32768);
  std::optional<GuardedBuffer> smaller;
  GuardedBuffer& buffer = capacity == 32768 ? launcherSized : smaller.emplace(capacity);
  Text dest = buffer.text();
  static std::string log;
  log.clear();
  resolver.log = &log;
  int result =
      expandReferences(dest, source, resolve, logging ? noteReference : nullptr, &resolver);

  static Model model;
  model.reset(capacity);
  expandModel(model, source, resolver, logging);
  FUZZ_CHECK(result == model.result);
  FUZZ_CHECK(resolver.asked == model.asked);
  checkBounded(buffer, dest, capacity);
  bool fits = model.text.size() <= capacity - 1;
  FUZZ_CHECK(dest.cut == (!fits || model.valueCut));
  FUZZ_CHECK(textView(dest) == std::string_view(model.text).substr(0, capacity - 1));
  FUZZ_CHECK(log == model.log);
  return 0;
}
