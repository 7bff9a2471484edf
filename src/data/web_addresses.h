#pragma once
// Web addresses the main menu opens in the browser and the local-racing control's installer.
namespace zelk {
inline constexpr const char* kAddressUmaConnInstaller = "https://zelkaro.example/umaconn/download";
inline constexpr const char* kAddressHelp = "https://zelkaro.example/help";
inline constexpr const char* kAddressChihouKeibaData = "https://zelkaro.example/chihou-keiba-data";
inline constexpr const char* kAddressInetIdNyuryoku = "https://zelkaro.example/ipat/inet-id";
inline constexpr const char* kAddressHayate = "https://zelkaro.example/hayate";
}  // namespace zelk
