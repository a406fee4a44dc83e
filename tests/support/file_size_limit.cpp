#include "support/file_size_limit.h"

#include <csignal>
#include <exception>
#include <sys/wait.h>
#include <unistd.h>

namespace quilvane::test {

int runWithFileSizeLimit(rlim_t limit, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
        try {
            work();
        } catch (const std::exception&) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quilvane::test
