#include "cli/arguments.h"

#include "rename/setting_checks.h"
#include "cli/output.h"

namespace quilvane::cli {

Arguments::Arguments(const std::vector<std::string>& args, const OptionSpec& spec) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || !word.starts_with("--")) {
            plain_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (spec.flags.contains(name)) {
            if (equals != std::string::npos) throw UsageError(say("选项 " + name + " 不带值", "option " + name + " takes no value"));
            flags_.insert(name);
        } else if (spec.valued.contains(name)) {
            std::string value;
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw UsageError(say("选项 " + name + " 缺少值", "option " + name + " needs a value"));
            }
            if (values_.contains(name) && !spec.repeatable.contains(name))
                throw UsageError(say("选项 " + name + " 只能给一次", "option " + name + " may be given once"));
            values_.emplace(name, value);
        } else {
            throw UsageError(say("不认识的选项 " + name, "unknown option " + name));
        }
    }
}

std::optional<std::string> Arguments::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string Arguments::required(const std::string& name) const {
    if (auto v = value(name)) return *v;
    throw UsageError(say("缺少选项 " + name, "missing option " + name));
}

std::vector<std::string> Arguments::values(const std::string& name) const {
    std::vector<std::string> out;
    const auto [first, last] = values_.equal_range(name);
    for (auto it = first; it != last; ++it) out.push_back(it->second);
    return out;
}

void Arguments::expectPlain(std::size_t count, const std::string& names) const {
    if (plain_.size() != count)
        throw UsageError(say("需要 " + names + "（给了" + std::to_string(plain_.size()) + "个参数）",
                             "expected " + names + " (got " + std::to_string(plain_.size()) + " arguments)"));
}

std::string separatorOption(const Arguments& args) {
    const std::string given = args.value("--separator").value_or("-");
    const SeparatorCheck check = checkSeparatorText(given);
    if (check.verdict == SeparatorVerdict::Accept) return check.character;
    if (check.verdict == SeparatorVerdict::AskBlank) return " ";
    throw UsageError(say("分隔符必须是一个字符：", "the separator must be one character: ") + given);
}

}  // namespace quilvane::cli
