#pragma once
// The Windows virtual-key code of a Qt key, as the file list reports pressed keys.
namespace quilvane {

// 0 for keys without a code.
int virtualKeyCode(int qtKey);

}  // namespace quilvane
