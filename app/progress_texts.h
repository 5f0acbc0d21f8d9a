// What the status bar calls each long piece of work while it counts it.
#pragma once

namespace iconvale {

inline constexpr char kAddingProgress[] = "正在添加";
inline constexpr char kExtractingProgress[] = "正在提取";
inline constexpr char kOpeningProgress[] = "正在打开";
inline constexpr char kMergingProgress[] = "正在合并";

}  // namespace iconvale
