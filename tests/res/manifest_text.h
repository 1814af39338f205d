// Just enough reading of an application manifest to check its elements and
// attributes: start tags by name, their nesting and their attribute values.
#pragma once

#include <cstddef>
#include <string>

class ManifestText {
 public:
  explicit ManifestText(std::string text) : text_(std::move(text)) {}

  size_t Count(const std::string& element) const;
  // True when the first <inner ...> lies between <outer ...> and </outer>.
  bool Encloses(const std::string& outer, const std::string& inner) const;
  // The value of attribute in the first <element ...> tag; "(absent)" if none.
  std::string Attribute(const std::string& element, const std::string& attribute) const;

 private:
  size_t FindStartTag(const std::string& element, size_t from) const;

  std::string text_;
};
