// Writing JSON: strings escaped (bytes that are not UTF-8, which file names may hold,
// become U+FFFD) and objects built key by key, for `info --json` and `convert --json`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trackmill::json {

std::string String(std::string_view text);
// Always with a fraction or exponent, so that readers see a float.
std::string Float(double value);

class Object {
public:
    Object &Add(const char *key, const std::string &jsonValue);
    Object &Text(const char *key, std::string_view value) { return Add(key, String(value)); }
    Object &Int(const char *key, std::int64_t value) { return Add(key, std::to_string(value)); }
    Object &Bool(const char *key, bool value) { return Add(key, value ? "true" : "false"); }
    // A file's path under `key`, shown as text; when its bytes are not valid UTF-8, they
    // also go whole under `rawKey`, in base64, so that a reader can still find the file.
    Object &Path(const char *key, const char *rawKey, std::string_view path);
    std::string Str() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

}  // namespace trackmill::json
