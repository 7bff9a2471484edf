#pragma once
// The version text shown by the splash and the version dialog.
namespace zelk {
inline constexpr const char* kVersionText = "Ver.2.0.0";
}  // namespace zelk
