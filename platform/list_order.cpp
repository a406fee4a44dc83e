#include "platform/list_order.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <unicode/ucol.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>

#include "platform/display_name.h"
#include "platform/text.h"

namespace quilvane {
namespace {

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// One collator per thread: workers sort folders beside the windows.
UCollator* chineseCollator() {
    thread_local std::unique_ptr<UCollator, CollatorCloser> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorCloser> c(ucol_open("zh", &status));
        // Chinese collation puts Han before Latin; a Chinese desktop's list shows digits
        // and Latin names first, then Chinese ones in pinyin order.
        const int32_t latinFirst[] = {USCRIPT_LATIN, USCRIPT_HAN};
        if (U_SUCCESS(status)) ucol_setReorderCodes(c.get(), latinFirst, 2, &status);
        if (U_FAILURE(status)) c.reset();
        return c;
    }();
    return collator.get();
}

template <typename Item, typename NameOf>
void sortByKeys(std::vector<Item>& items, NameOf nameOf) {
    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const Item& item : items) keys.push_back(listOrderKey(nameOf(item)));
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (keys[a] != keys[b]) return keys[a] < keys[b];
        return nameOf(items[a]) < nameOf(items[b]);  // a stable, total order for ties
    });
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (std::size_t i : order) sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

}  // namespace

std::string listOrderKey(std::string_view name) {
    const std::string text = displayName(name);
    UCollator* collator = chineseCollator();
    if (collator == nullptr) return asciiLower(text);
    std::vector<UChar> units;
    units.reserve(text.size());
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    status = U_ZERO_ERROR;
    units.resize(static_cast<std::size_t>(length) + 1);
    u_strFromUTF8(units.data(), length + 1, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) return asciiLower(text);
    std::string key(64, '\0');
    for (;;) {
        const int32_t needed = ucol_getSortKey(collator, units.data(), length,
                                               reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
        if (needed <= static_cast<int32_t>(key.size())) {
            key.resize(static_cast<std::size_t>(needed > 0 ? needed - 1 : 0));  // without the final zero
            return key;
        }
        key.resize(static_cast<std::size_t>(needed));
    }
}

void sortInListOrder(std::vector<std::string>& names) {
    sortByKeys(names, [](const std::string& n) -> const std::string& { return n; });
}

void sortInListOrder(std::vector<FolderEntry>& entries) {
    sortByKeys(entries, [](const FolderEntry& e) -> const std::string& { return e.name; });
}

}  // namespace quilvane
