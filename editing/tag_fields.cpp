#include "editing/tag_fields.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "rename/text_pieces.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "tags/genres.h"

namespace quilvane {
namespace {

TagField fieldOf(TagFieldKind kind) {
    switch (kind) {
    case TagFieldKind::Title: return tagfield::Title;
    case TagFieldKind::Artist: return tagfield::Artist;
    case TagFieldKind::Album: return tagfield::Album;
    case TagFieldKind::Year: return tagfield::Year;
    default: return tagfield::Comment;
    }
}

TagBlock newTag() {
    TagBlock block;
    std::memcpy(block.bytes.data(), "TAG", 3);
    block.setGenre(255);
    return block;
}

}  // namespace

NotAnInteger::NotAnInteger(const std::string& text) : std::runtime_error("'" + text + "' is not a valid integer value") {}

std::string fieldLine(const TagBlock& block, TagFieldKind kind) {
    if (!block.isTag()) return {};
    if (kind == TagFieldKind::Genre) return std::string(GenreName(block.genre()));
    return block.text(fieldOf(kind));
}

std::optional<long long> wholeNumberOf(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // One sign, before everything: "--5", "+-3" and "0x-2" are no numbers.
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return negative ? -value : value;
}

std::optional<TagBlock> withFieldLine(const TagBlock& block, TagFieldKind kind, std::string_view line) {
    const std::string text(trimBlanks(line));
    if (kind == TagFieldKind::Genre) {
        // A number, or a genre's name as "提取流派" lists it, so the two round-trip.
        std::optional<long long> number = wholeNumberOf(text);
        if (!number)
            if (const auto named = genreOfName(text)) number = *named;
        if (!number) throw NotAnInteger(text);
        if (block.isTag() && *number == block.genre()) return std::nullopt;
        TagBlock result = block.isTag() ? block : newTag();
        result.setGenre(static_cast<std::uint8_t>(*number & 0xFF));
        return result;
    }
    const TagField field = fieldOf(kind);
    if (block.isTag() && sameText(block.text(field), text)) return std::nullopt;
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (block.isTag()) texts[i] = block.text(kTextFields[i]);
        if (kTextFields[i].offset == field.offset) texts[i] = text;
    }
    return editedBlock(block, texts, block.isTag() ? block.genre() : kNoGenre);
}

}  // namespace quilvane
