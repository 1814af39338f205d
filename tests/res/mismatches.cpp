#include "tests/res/mismatches.h"

#include <cstdio>

std::string Describe(const std::u16string& text) {
  std::string out = "\"";
  for (char16_t c : text) {
    if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    }
  }
  return out + "\"";
}

std::string Describe(const NameOrOrdinal& value) {
  if (value.is_ordinal) return "ordinal " + DescribeNumber(value.ordinal);
  return Describe(value.text);
}

std::string DescribeNumber(uint64_t value) {
  if (value < 10) return std::to_string(value);
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
  return std::to_string(value) + " (" + buf + ")";
}

void Mismatches::Expect(const std::string& field, const std::u16string& expected, const std::u16string& actual) {
  if (expected == actual) return;
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  Add(field + ": first difference at character " + std::to_string(at) + "; expected " + Describe(expected) +
      ", got " + Describe(actual));
}

void Mismatches::Expect(const std::string& field, const NameOrOrdinal& expected, const NameOrOrdinal& actual) {
  if (!(expected == actual)) Add(field + ": expected " + Describe(expected) + ", got " + Describe(actual));
}

std::string Mismatches::Joined() const {
  std::string out;
  for (const auto& item : items_) out += item + "\n";
  return out;
}
