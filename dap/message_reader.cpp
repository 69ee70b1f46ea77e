#include "dap/message_reader.h"

#include <cctype>

namespace hc11::dap {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The Content-Length of a header block (without its final blank line).
std::optional<std::size_t> ContentLength(std::string_view header) {
  std::optional<std::size_t> length;
  while (!header.empty()) {
    const std::size_t end = header.find("\r\n");
    const std::string_view line = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    if (Lower(line.substr(0, colon)) != "content-length") continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value.empty() || value.size() > 12) return std::nullopt;
    std::size_t n = 0;
    for (const char c : value) {
      if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    length = n;
  }
  return length;
}

constexpr std::string_view kLengthField = "Content-Length";

// The end of `buffer` that may be the start of a header (kept when the rest
// is dropped).
std::size_t KeptTail(std::string_view buffer) {
  for (std::size_t n = std::min(buffer.size(), kLengthField.size() - 1); n > 0; --n)
    if (kLengthField.starts_with(buffer.substr(buffer.size() - n))) return n;
  return 0;
}

}  // namespace

std::optional<ReadItem> MessageReader::Next() {
  if (skip_ > 0) {
    const std::size_t n = std::min(skip_, buffer_.size());
    buffer_.erase(0, n);
    skip_ -= n;
    if (skip_ > 0) return std::nullopt;
  }
  const std::size_t end = buffer_.find("\r\n\r\n");
  if (end == std::string::npos && buffer_.size() <= kHeaderMax) return std::nullopt;
  if (end == std::string::npos || end > kHeaderMax) {
    // No header ends within the limit: what came is dropped up to the next
    // header's start, so stray bytes do not hold the reader forever.
    const std::size_t next = buffer_.find(kLengthField, 1);
    buffer_.erase(0, next != std::string::npos ? next : buffer_.size() - KeptTail(buffer_));
    return ReadItem{ReadFault::BadHeader, {}};
  }
  const auto length = ContentLength(std::string_view(buffer_).substr(0, end));
  const std::size_t bodyStart = end + 4;
  if (!length) {
    // Stray bytes glued in front of a header: only they are dropped.
    const std::size_t field = buffer_.find(kLengthField, 1);
    buffer_.erase(0, field < end ? field : bodyStart);
    return ReadItem{ReadFault::BadHeader, {}};
  }
  if (*length > kMessageMax) {
    buffer_.erase(0, bodyStart);
    skip_ = *length;
    const std::size_t n = std::min(skip_, buffer_.size());
    buffer_.erase(0, n);
    skip_ -= n;
    return ReadItem{ReadFault::TooLarge, {}};
  }
  if (buffer_.size() - bodyStart < *length) return std::nullopt;
  ReadItem item;
  item.message =
      Json::parse(buffer_.begin() + static_cast<std::ptrdiff_t>(bodyStart),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(bodyStart + *length), nullptr, false);
  buffer_.erase(0, bodyStart + *length);
  if (item.message.is_discarded()) {
    item.fault = ReadFault::BadJson;
    item.message = Json();
  } else if (!item.message.is_object()) {
    item.fault = ReadFault::NotAnObject;
    item.message = Json();
  }
  return item;
}

std::string Frame(const Json& message) {
  const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string FaultText(const ReadItem& item) {
  switch (item.fault) {
    case ReadFault::None:
      return {};
    case ReadFault::BadHeader:
      return "malformed message header: expected Content-Length";
    case ReadFault::TooLarge:
      return "message larger than 1 MiB";
    case ReadFault::BadJson:
      return "malformed message: not JSON";
    case ReadFault::NotAnObject:
      return "malformed message: not a JSON object";
  }
  return {};
}

}  // namespace hc11::dap
