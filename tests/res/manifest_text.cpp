#include "tests/res/manifest_text.h"

#include <cctype>

namespace {

bool EndsName(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '>'; }

}  // namespace

size_t ManifestText::FindStartTag(const std::string& element, size_t from) const {
  std::string open = "<" + element;
  for (size_t at = text_.find(open, from); at != std::string::npos; at = text_.find(open, at + 1)) {
    size_t after = at + open.size();
    if (after < text_.size() && EndsName(text_[after])) return at;
  }
  return std::string::npos;
}

size_t ManifestText::Count(const std::string& element) const {
  size_t count = 0;
  for (size_t at = FindStartTag(element, 0); at != std::string::npos; at = FindStartTag(element, at + 1)) ++count;
  return count;
}

bool ManifestText::Encloses(const std::string& outer, const std::string& inner) const {
  size_t open = FindStartTag(outer, 0);
  size_t close = text_.find("</" + outer + ">");
  size_t at = FindStartTag(inner, 0);
  return open != std::string::npos && close != std::string::npos && at != std::string::npos && open < at &&
         at < close;
}

std::string ManifestText::Attribute(const std::string& element, const std::string& attribute) const {
  size_t tag = FindStartTag(element, 0);
  if (tag == std::string::npos) return "(absent)";
  size_t end = text_.find('>', tag);
  if (end == std::string::npos) return "(absent)";
  size_t pos = tag + 1 + element.size();
  while (pos < end) {
    while (pos < end && std::isspace(static_cast<unsigned char>(text_[pos]))) ++pos;
    size_t eq = text_.find('=', pos);
    if (eq == std::string::npos || eq >= end) break;
    std::string name = text_.substr(pos, eq - pos);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    size_t quote = text_.find_first_of("\"'", eq);
    if (quote == std::string::npos || quote >= end) break;
    size_t close = text_.find(text_[quote], quote + 1);
    if (close == std::string::npos || close > end) break;
    if (name == attribute) return text_.substr(quote + 1, close - quote - 1);
    pos = close + 1;
  }
  return "(absent)";
}
