#pragma once
// A strict iconv conversion, one converter per direction and thread: iconv descriptors
// keep state, and workers convert side by side.
#include <cerrno>
#include <iconv.h>
#include <string>
#include <string_view>

namespace quilvane {

class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~IconvConverter() {
        if (ok()) ::iconv_close(cd_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // False when the input holds an invalid or incomplete sequence.
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

}  // namespace quilvane
