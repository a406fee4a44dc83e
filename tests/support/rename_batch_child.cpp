// A program that renames a folder as the window's naming commands do (one planned batch,
// journaled in the state folder), slowly enough to be killed part way by a test.
// Usage: rename_batch_child FOLDER COUNT
// Shifts "NNNN song.mp3" (1..COUNT) up by one and swaps "swap a.mp3" with "swap b.mp3".
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "rename/rename_batch.h"
#include "rename/rename_journal.h"

namespace {

// The real calls, each rename a little slower.
class SlowRenames final : public quilvane::SysCalls {
public:
    int renameNoReplace(const std::string& f, const std::string& t) override {
        ::usleep(300);
        return real_.renameNoReplace(f, t);
    }
    int link(const std::string& f, const std::string& t) override { return real_.link(f, t); }
    int unlink(const std::string& p) override { return real_.unlink(p); }
    int rename(const std::string& f, const std::string& t) override { return real_.rename(f, t); }
    int identify(const std::string& p, quilvane::FileIdentity& id) override { return real_.identify(p, id); }
    bool listsName(const std::string& f, const std::string& n) override { return real_.listsName(f, n); }

private:
    quilvane::SysCalls& real_ = quilvane::realSysCalls();
};

std::string numbered(const std::string& folder, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d song.mp3", n);
    return folder + name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string folder = argv[1];
    const int count = std::atoi(argv[2]);
    quilvane::RenameJournal journal(quilvane::programStateFolder());
    quilvane::UndoList log;
    log.keepJournal(&journal);
    log.clear();
    quilvane::RenameBatch batch;
    batch.add(folder + "/swap a.mp3", folder + "/swap b.mp3");
    batch.add(folder + "/swap b.mp3", folder + "/swap a.mp3");
    for (int n = 1; n <= count; ++n) batch.add(numbered(folder, n), numbered(folder, n + 1));
    SlowRenames sys;
    const quilvane::BatchOutcome outcome =
        batch.run(log, [](const std::string&, const std::string&) { return quilvane::HeldName::Skip; }, {}, sys);
    std::printf("%d\n", outcome.renamed);
    return journal.problem().empty() ? 0 : 1;
}
