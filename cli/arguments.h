#pragma once
// The command line of one subcommand: options ("--name value", "--name=value", flags)
// and the plain arguments between them, kept as the bytes they were given. Anything the
// subcommand does not know is a usage error.
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quilvane::cli {

// Bad usage: the message says what was wrong; the program exits with status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::set<std::string> flags;         // "--tree", "--dry-run" ...
    std::set<std::string> valued;        // "--separator" ... (one value each)
    std::set<std::string> repeatable;    // valued options that may be given more than once
};

class Arguments {
public:
    // Reads `args` (the words after the subcommand). "--" ends the options.
    Arguments(const std::vector<std::string>& args, const OptionSpec& spec);

    bool flag(const std::string& name) const { return flags_.contains(name); }
    std::optional<std::string> value(const std::string& name) const;
    // A value that must be there.
    std::string required(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& plain() const { return plain_; }
    // Exactly `count` plain arguments, named in the error ("DIR", "FILE"...).
    void expectPlain(std::size_t count, const std::string& names) const;

private:
    std::set<std::string> flags_;
    std::multimap<std::string, std::string> values_;
    std::vector<std::string> plain_;
};

// The --separator option ("-" when not given), checked as the window's separator box is:
// blanks around it dropped, only blanks meaning a blank; more than one character is bad usage.
std::string separatorOption(const Arguments& args);

}  // namespace quilvane::cli
