// zelk demo-data [--from YYYY-MM-DD] [--days N] [--seed S]: writes the synthetic demo season
// into the link stores of the application folder.
#include <iostream>
#include <string>

#include "cli/cli.h"
#include "data/demo_data.h"

namespace zelk::cli {

namespace {

int RunDemoData(const TCliContext& ctx) {
  TDemoDataOptions options;
  bool given = false;
  std::string from = OptionValue(ctx.args, "--from", &given);
  if (given) {
    auto date = ParseIsoDate(from);
    if (!date) {
      std::cerr << "開始日の指定が不正です: " << from << "\n";
      return 2;
    }
    options.from = *date;
  }
  try {
    std::string days = OptionValue(ctx.args, "--days", &given);
    if (given) {
      size_t used = 0;
      options.days = std::stoi(days, &used);
      if (used != days.size() || options.days < 1 || options.days > 366) throw std::invalid_argument(days);
    }
  } catch (const std::exception&) {
    std::cerr << "日数の指定が不正です (1～366)\n";
    return 2;
  }
  try {
    std::string seed = OptionValue(ctx.args, "--seed", &given);
    if (given) {
      size_t used = 0;
      options.seed = std::stoull(seed, &used);
      if (used != seed.size() || seed.front() == '-') throw std::invalid_argument(seed);
    }
  } catch (const std::exception&) {
    std::cerr << "シードの指定が不正です\n";
    return 2;
  }
  TDemoDataSummary summary;
  std::string error;
  if (WriteDemoData(ctx.home, options, &summary, &error) != 0) {
    std::cerr << "デモデータを作成できませんでした: " << error << "\n";
    return 1;
  }
  std::cout << "デモデータを作成しました: " << summary.days << "日 " << summary.races << "レース " << summary.files
            << "ファイル\n";
  return 0;
}

const TCommandRegistration kRegistration("demo-data", "デモ用の合成レースデータをリンクストアに書き出す", RunDemoData);

}  // namespace

}  // namespace zelk::cli
