// A list of differences between what a resource holds and what it should,
// each naming its field ("control 3 style: expected ..., got ...").
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/res/dialog_template.h"

// UTF-16 text shown in ASCII: CR/LF escaped, other non-ASCII as \uXXXX.
std::string Describe(const std::u16string& text);
std::string Describe(const NameOrOrdinal& value);
std::string DescribeNumber(uint64_t value);

class Mismatches {
 public:
  void Add(std::string what) { items_.push_back(std::move(what)); }

  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  void Expect(const std::string& field, T expected, T actual) {
    if (expected != actual) {
      Add(field + ": expected " + DescribeNumber(static_cast<uint64_t>(expected)) + ", got " +
          DescribeNumber(static_cast<uint64_t>(actual)));
    }
  }
  void Expect(const std::string& field, const std::u16string& expected, const std::u16string& actual);
  void Expect(const std::string& field, const NameOrOrdinal& expected, const NameOrOrdinal& actual);

  bool empty() const { return items_.empty(); }
  const std::vector<std::string>& items() const { return items_; }
  std::string Joined() const;

 private:
  std::vector<std::string> items_;
};
