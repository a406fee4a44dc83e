#pragma once
// Makes writes fail part way on purpose: runs `work` in a child process whose files
// may not grow past `limit` bytes (a write beyond it fails with EFBIG instead of
// killing the child). Returns the child's exit code: 0 when `work` returned, 3 when it
// threw, -1 when the child died.
#include <functional>
#include <sys/resource.h>

namespace quilvane::test {

int runWithFileSizeLimit(rlim_t limit, const std::function<void()>& work);

}  // namespace quilvane::test
