#include "platform/codepage.h"

#include <cerrno>
#include <optional>
#include <iconv.h>

#include "platform/text.h"

namespace quilvane {
namespace {

// One converter per direction and thread: iconv descriptors keep state, and workers
// convert side by side.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Strict conversion; false when the input holds an invalid or incomplete sequence.
    bool convert(std::string_view in, std::string& out) {
        if (!ok()) return false;
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(in.size() * 4 + 8, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = out.data();
        std::size_t dstLeft = out.size();
        while (srcLeft > 0) {
            if (::iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
                if (errno != E2BIG) return false;
                const std::size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
            }
        }
        out.resize(out.size() - dstLeft);
        return true;
    }

private:
    iconv_t cd_;
};

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool isAscii(std::string_view bytes) {
    for (unsigned char c : bytes)
        if (c >= 0x80) return false;
    return true;
}

// Length of the GB18030 character at bytes[i]: 1, 2 or 4; 0 when the bytes end inside it.
std::size_t legacyCharacterLength(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF) return 1;
    if (i + 1 >= bytes.size()) return 0;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second >= 0x30 && second <= 0x39) return i + 3 < bytes.size() ? 4 : 0;
    return 2;
}

}  // namespace

std::string legacyToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    thread_local Converter decoder("UTF-8", "GB18030");
    std::string out;
    if (decoder.convert(bytes, out)) return out;
    return latin1ToUtf8(bytes);
}

namespace {

// The Latin-1 bytes of a text whose characters all lie below U+0100, else nothing.
std::optional<std::string> latin1Of(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[++i]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::string utf8ToLegacy(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    if (auto latin1 = latin1Of(text); latin1 && legacyToUtf8(*latin1) == text) return *latin1;
    thread_local Converter encoder("GB18030", "UTF-8");
    std::string out;
    if (encoder.convert(text, out)) return out;
    return std::string(text);  // not UTF-8 at all: keep the bytes as they came
}

std::string_view cutLegacyToWidth(std::string_view bytes, std::size_t width) {
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t n = legacyCharacterLength(bytes, end);
        if (n == 0 || end + n > width) break;
        end += n;
    }
    return bytes.substr(0, end);
}

std::string fitToLegacyWidth(std::string_view text, std::size_t width) {
    // Every character takes at least one byte, so no more than `width` of them can fit.
    std::size_t end = 0;
    for (std::size_t count = 0; end < text.size() && count < width; ++count)
        end += firstCharacter(text.substr(end)).size();
    std::string_view fitting = text.substr(0, end);
    while (!fitting.empty() && utf8ToLegacy(fitting).size() > width) {
        std::size_t last = fitting.size() - 1;
        while (last > 0 && (static_cast<unsigned char>(fitting[last]) & 0xC0) == 0x80) --last;
        fitting = fitting.substr(0, last);
    }
    return std::string(fitting);
}

std::string utf8ToLegacyWidth(std::string_view text, std::size_t width) {
    return utf8ToLegacy(fitToLegacyWidth(text, width));
}

}  // namespace quilvane
