#pragma once
// The one way text is written in the launcher: appends into a fixed buffer that always stays
// zero-terminated. What does not fit is left out and `cut` is set, so a caller can refuse to use
// a shortened path or argument text instead of silently passing it on.

#include <cstddef>
#include <cstdint>
#include <string_view>

struct Text {
  char* data;
  size_t capacity; // bytes, the terminating zero included
  size_t length;   // bytes before the terminating zero
  bool cut;        // something appended did not fit
};

// Starts an empty text in `buffer`.
inline Text textOver(char* buffer, size_t capacity) {
  buffer[0] = '\0';
  return Text{buffer, capacity, 0, false};
}

template <size_t N>
inline Text textOver(char (&buffer)[N]) {
  return textOver(buffer, N);
}

// Continues the zero-terminated text already in `buffer`.
inline Text textAfter(char* buffer, size_t capacity) {
  size_t length = 0;
  while (length + 1 < capacity && buffer[length] != '\0')
    ++length;
  buffer[length] = '\0';
  return Text{buffer, capacity, length, false};
}

template <size_t N>
inline Text textAfter(char (&buffer)[N]) {
  return textAfter(buffer, N);
}

inline size_t textRoom(const Text& text) {
  return text.capacity - 1 - text.length;
}

inline std::string_view textView(const Text& text) {
  return {text.data, text.length};
}

// Appends as much of `bytes` as fits; returns false (and sets `cut`) when not all of it did.
inline bool appendText(Text& text, std::string_view bytes) {
  size_t count = bytes.size();
  bool fits = count <= textRoom(text);
  if (!fits) {
    count = textRoom(text);
    text.cut = true;
  }
  for (size_t i = 0; i < count; ++i)
    text.data[text.length + i] = bytes[i];
  text.length += count;
  text.data[text.length] = '\0';
  return fits;
}

// Replaces the whole text of a fixed buffer with `value`, bounded like every append.
template <size_t N>
inline bool copyText(char (&buffer)[N], std::string_view value) {
  Text text = textOver(buffer);
  return appendText(text, value);
}

inline bool appendChar(Text& text, char c) {
  return appendText(text, std::string_view(&c, 1));
}

inline bool appendDecimal(Text& text, uint32_t value) {
  char digits[10];
  size_t count = 0;
  do {
    digits[sizeof digits - 1 - count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return appendText(text, std::string_view(digits + sizeof digits - count, count));
}

// Takes `count` bytes written straight behind the text by a system call into the text.
inline void commitWritten(Text& text, size_t count) {
  if (count > textRoom(text)) {
    count = textRoom(text);
    text.cut = true;
  }
  text.length += count;
  text.data[text.length] = '\0';
}

inline void dropLastChar(Text& text) {
  if (text.length > 0) text.data[--text.length] = '\0';
}

// A piece of `text` that never throws: a start or count past the end is clamped, so the product
// needs none of the library's exception machinery.
inline std::string_view slice(std::string_view text, size_t start,
                              size_t count = std::string_view::npos) {
  if (start > text.size()) start = text.size();
  size_t left = text.size() - start;
  return std::string_view(text.data() + start, count < left ? count : left);
}

inline bool endsWith(std::string_view text, char c) {
  return !text.empty() && text.back() == c;
}

inline bool containsText(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}
