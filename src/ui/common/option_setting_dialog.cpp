#include "ui/common/option_setting_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "common/config.h"
#include "common/ui_services.h"

namespace zelk {
namespace {

const char* const kCategories[] = {"システム", "オッズ設定", "馬券シミュレーション", "単勝率調整"};

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QLineEdit* NumberEdit(const QString& name, int width = 60) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setAlignment(Qt::AlignRight);
  e->setFixedWidth(width);
  return e;
}

QCheckBox* Check(const QString& name, const char* text) {
  auto* c = new QCheckBox(QString::fromUtf8(text));
  c->setObjectName(name);
  return c;
}

// "caption [edit] unit" on one line.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : widgets) row->addWidget(w);
  row->addStretch();
  return row;
}

QLabel* Label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

// Integers typed into the dialog: unreadable text (or one beyond int) counts as 0.
int IntOf(const QLineEdit* e) {
  auto v = ParseSettingsInteger(S(e->text()));
  return v && *v >= INT32_MIN && *v <= INT32_MAX ? static_cast<int>(*v) : 0;
}
long long DecimalOf(const QLineEdit* e) { return ParseSettingsDecimal(S(e->text())).value_or(0); }

int CheckedIndex(QRadioButton* const (&buttons)[3]) {
  for (int i = 0; i < 3; ++i)
    if (buttons[i]->isChecked()) return i;
  return 0;
}

template <typename T>
void Assign(T& target, const T& value, bool& changed) {
  if (target != value) {
    target = value;
    changed = true;
  }
}

}  // namespace

TfrmOptionSetting::TfrmOptionSetting(TConfig& config, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent), config_(config), dialogs_(dialogs) {
  setObjectName("frmOptionSetting");
  setWindowTitle(QString::fromUtf8("オプション"));
  setModal(true);

  tvwCategory = new QTreeWidget;
  tvwCategory->setObjectName("tvwCategory");
  tvwCategory->setHeaderHidden(true);
  tvwCategory->setFixedWidth(160);
  for (const char* c : kCategories) tvwCategory->addTopLevelItem(new QTreeWidgetItem({QString::fromUtf8(c)}));
  connect(tvwCategory, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { ShowCategory(item ? item->text(0) : QString()); });

  pages = new QStackedWidget;
  pages->setObjectName("pgcOption");
  auto* first = new QWidget;
  auto* firstLayout = new QVBoxLayout(first);
  firstLayout->addWidget(Label("左側のオプションを選択して下さい。"));
  firstLayout->addStretch();
  pages->addWidget(first);
  pages->addWidget(BuildSystemPage());
  pages->addWidget(BuildOddsPage());
  pages->addWidget(BuildSimulationPage());
  pages->addWidget(BuildTanshoRitsuPage());

  btnOK = new QPushButton("OK");
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QString::fromUtf8("キャンセル"));
  btnCancel->setObjectName("btnCancel");
  connect(btnOK, &QPushButton::clicked, this, [this] {
    if (ConfirmOk()) accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* body = new QHBoxLayout;
  body->addWidget(tvwCategory);
  body->addWidget(pages, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* root = new QVBoxLayout(this);
  root->addLayout(body, 1);
  root->addLayout(buttons);
  resize(620, 400);

  ChooseSoundFile = [this](const std::string& startFolder) {
    return S(QFileDialog::getOpenFileName(this, QString(), Q(startFolder), QString::fromUtf8("サウンド (*.wav)")));
  };
  FillFromConfig();
  pages->setCurrentIndex(0);
}

QWidget* TfrmOptionSetting::BuildSystemPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  chkLogOutput = Check("chkLogOutput", "ログを出力する");
  chkAutoDelete = Check("chkAutoDelete", "アプリケーション終了時にログ・速報データの自動削除を行う");
  edtLogHozonKikan = NumberEdit("edtLogHozonKikan");
  edtSokuhoDataHozonKikan = NumberEdit("edtSokuhoDataHozonKikan");
  chkMainToolBarVisible = Check("chkMainToolBarVisible", "メイン画面のツールバーを表示する");
  edtCommitKensuJV = NumberEdit("edtCommitKensuJV", 80);
  v->addWidget(chkLogOutput);
  v->addWidget(chkAutoDelete);
  v->addLayout(Row({Label("ログ保存期間："), edtLogHozonKikan, Label("日間")}));
  v->addLayout(Row({Label("速報データ保存期間："), edtSokuhoDataHozonKikan, Label("日間")}));
  v->addWidget(chkMainToolBarVisible);
  v->addWidget(Label("コミット（更新確定）単位："));
  v->addLayout(Row({Label("中央・地方競馬データ"), edtCommitKensuJV, Label("件")}));
  v->addStretch();
  return page;
}

QWidget* TfrmOptionSetting::BuildOddsPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto radioGroup = [&](const char* caption, const QString& name, QRadioButton*(&buttons)[3]) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    box->setObjectName(name);
    auto* h = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    const char* texts[] = {"最小値", "中間値", "最大値"};
    for (int i = 0; i < 3; ++i) {
      buttons[i] = new QRadioButton(QString::fromUtf8(texts[i]));
      group->addButton(buttons[i], i);
      h->addWidget(buttons[i]);
    }
    h->addStretch();
    v->addWidget(box);
  };
  radioGroup("複勝オッズの適用値", "rgrFukushoTekiyo", radFukushoTekiyo);
  radioGroup("ワイド オッズの適用値", "rgrWideTekiyo", radWideTekiyo);
  chkSetMaxOddsSanrentan = Check("chkSetMaxOddsSanrentan", "３連単オッズが無投票のときは最大値を設定");
  v->addWidget(chkSetMaxOddsSanrentan);

  // Assumed total votes: shown filled in but hidden, and never written back.
  grpTotalHyosu = new QGroupBox(QString::fromUtf8("票数合計設定（票数がない予測オッズのみ使用）"));
  grpTotalHyosu->setObjectName("grpTotalHyosu");
  auto* grid = new QGridLayout(grpTotalHyosu);
  const char* names[] = {"単勝", "馬連", "馬単", "３連複", "３連単"};
  for (int i = 0; i < 5; ++i) {
    edtTotalHyosu[i] = NumberEdit(QString("edtTotalHyosu%1").arg(i + 1));
    grid->addWidget(Label(names[i]), i, 0);
    grid->addWidget(edtTotalHyosu[i], i, 1);
  }
  grpTotalHyosu->setVisible(false);
  v->addWidget(grpTotalHyosu);
  v->addStretch();
  return page;
}

QWidget* TfrmOptionSetting::BuildSimulationPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  chkSimulationEndSound = Check("chkSimulationEndSound", "シミュレーション終了時に音を鳴らす");
  edtSimulationEndSoundFileName = new QLineEdit;
  edtSimulationEndSoundFileName->setObjectName("edtSimulationEndSoundFileName");
  btnSoundFileChange = new QPushButton(QString::fromUtf8("変更..."));
  btnSoundFileChange->setObjectName("btnSoundFileChange");
  btnSoundPlay = new QPushButton(QString::fromUtf8("▶"));
  btnSoundPlay->setObjectName("btnSoundPlay");
  btnSoundPlay->setFixedWidth(32);
  connect(btnSoundFileChange, &QPushButton::clicked, this, &TfrmOptionSetting::ChangeSoundFile);
  connect(btnSoundPlay, &QPushButton::clicked, this, [this] {
    if (PlaySound) PlaySound(S(edtSimulationEndSoundFileName->text()));
  });
  v->addWidget(chkSimulationEndSound);
  auto* file = new QHBoxLayout;
  file->addWidget(Label("WAVファイル："));
  file->addWidget(edtSimulationEndSoundFileName, 1);
  file->addWidget(btnSoundFileChange);
  file->addWidget(btnSoundPlay);
  v->addLayout(file);

  auto* box = new QGroupBox(QString::fromUtf8("的中率買いオプション"));
  box->setObjectName("rgrHaibunTekichuRitsuKubun");
  auto* bv = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  const char* texts[] = {"100円未満を切り上げ", "100円未満を切り捨て", "100円未満を四捨五入"};
  for (int i = 0; i < 3; ++i) {
    radHaibunTekichuRitsuKubun[i] = new QRadioButton(QString::fromUtf8(texts[i]));
    group->addButton(radHaibunTekichuRitsuKubun[i], i);
    bv->addWidget(radHaibunTekichuRitsuKubun[i]);
  }
  v->addWidget(box);
  chkRaceTekichuRitsu100 = Check("chkRaceTekichuRitsu100", "１レースあたり、複数的中していてもレース的中数は１とする");
  v->addWidget(chkRaceTekichuRitsu100);
  v->addStretch();
  return page;
}

QWidget* TfrmOptionSetting::BuildTanshoRitsuPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* group = new QButtonGroup(page);
  const char* texts[] = {"使用しない", "平均的中率 ×", "的中率 ×"};
  for (int i = 0; i < 3; ++i) {
    radTanshoRitsuChoseiOption[i] = new QRadioButton(QString::fromUtf8(texts[i]));
    radTanshoRitsuChoseiOption[i]->setObjectName(QString("radTanshoRitsuChoseiOption%1").arg(i));
    group->addButton(radTanshoRitsuChoseiOption[i], i);
  }
  edtTanshoRitsuGensanKeisu = NumberEdit("edtTanshoRitsuGensanKeisu");
  edtTanshoRitsuGosaHosei = NumberEdit("edtTanshoRitsuGosaHosei");
  edtMinTanshoRitsu = NumberEdit("edtMinTanshoRitsu");
  v->addWidget(radTanshoRitsuChoseiOption[0]);
  v->addLayout(
      Row({radTanshoRitsuChoseiOption[1], edtTanshoRitsuGensanKeisu, Label("を誤差として的中率から減算する")}));
  v->addLayout(Row({radTanshoRitsuChoseiOption[2], edtTanshoRitsuGosaHosei, Label("を誤差補正した的中率として扱う")}));
  v->addSpacing(12);
  v->addLayout(Row({Label("最低単勝率"), edtMinTanshoRitsu, Label("％")}));
  v->addStretch();
  return page;
}

void TfrmOptionSetting::FillFromConfig() {
  auto setRadio = [](QRadioButton* const(&buttons)[3], int index) {
    if (index >= 0 && index < 3) buttons[index]->setChecked(true);
  };
  chkLogOutput->setChecked(config_.LogOutput);
  chkAutoDelete->setChecked(config_.AutoDelete);
  edtLogHozonKikan->setText(QString::number(config_.LogHozonKikan));
  edtSokuhoDataHozonKikan->setText(QString::number(config_.SokuhoDataHozonKikan));
  chkMainToolBarVisible->setChecked(config_.MainToolBarVisible);
  edtCommitKensuJV->setText(QString::number(config_.CommitKensuJV));

  setRadio(radFukushoTekiyo, config_.DenmaFukushoTekiyo);
  setRadio(radWideTekiyo, config_.DenmaWideTekiyo);
  chkSetMaxOddsSanrentan->setChecked(config_.SetMaxOddsSanrentan);
  const int votes[] = {config_.TotalHyosuTansyo, config_.TotalHyosuUmaren, config_.TotalHyosuUmatan,
                       config_.TotalHyosuSanrenpuku, config_.TotalHyosuSanrentan};
  for (int i = 0; i < 5; ++i) edtTotalHyosu[i]->setText(QString::number(votes[i]));

  chkSimulationEndSound->setChecked(config_.SimulationEndSound);
  edtSimulationEndSoundFileName->setText(Q(config_.SimulationEndSoundFileName));
  setRadio(radHaibunTekichuRitsuKubun, config_.HaibunTekichuRitsuKubun);
  chkRaceTekichuRitsu100->setChecked(config_.RaceTekichuRitsu100);

  setRadio(radTanshoRitsuChoseiOption, config_.TanshoRitsuChoseiOption);
  edtTanshoRitsuGensanKeisu->setText(Q(FormatSettingsDecimal(config_.TanshoRitsuGensanKeisu)));
  edtTanshoRitsuGosaHosei->setText(Q(FormatSettingsDecimal(config_.TanshoRitsuGosaHosei)));
  edtMinTanshoRitsu->setText(Q(FormatSettingsDecimal(config_.MinTanshoRitsu)));
}

void TfrmOptionSetting::ShowCategory(const QString& category) {
  int page = 0;
  for (int i = 0; i < 4; ++i)
    if (category == QString::fromUtf8(kCategories[i])) page = i + 1;
  pages->setCurrentIndex(page);
}

int TfrmOptionSetting::CurrentPage() const { return pages->currentIndex(); }

void TfrmOptionSetting::ChangeSoundFile() {
  if (!ChooseSoundFile) return;
  std::filesystem::path current(S(edtSimulationEndSoundFileName->text()));
  std::string chosen = ChooseSoundFile(current.has_parent_path() ? current.parent_path().string() : std::string());
  if (!chosen.empty()) edtSimulationEndSoundFileName->setText(Q(chosen));
}

bool TfrmOptionSetting::ConfirmOk() {
  // The commit count is stored as a word; a larger value would stop the next start's settings load.
  auto commit = ParseSettingsInteger(S(edtCommitKensuJV->text()));
  if (!commit || *commit < 1 || *commit > 65535) {
    ShowCategory(QString::fromUtf8("システム"));
    edtCommitKensuJV->setFocus();
    dialogs_.Warning(kOptionCommitKensuWarning);
    return false;
  }
  bool changed = false;
  Assign(config_.LogOutput, chkLogOutput->isChecked(), changed);
  Assign(config_.AutoDelete, chkAutoDelete->isChecked(), changed);
  Assign(config_.LogHozonKikan, IntOf(edtLogHozonKikan), changed);
  Assign(config_.SokuhoDataHozonKikan, IntOf(edtSokuhoDataHozonKikan), changed);
  Assign(config_.MainToolBarVisible, chkMainToolBarVisible->isChecked(), changed);
  Assign(config_.CommitKensuJV, static_cast<int>(*commit), changed);
  Assign(config_.DenmaFukushoTekiyo, CheckedIndex(radFukushoTekiyo), changed);
  Assign(config_.DenmaWideTekiyo, CheckedIndex(radWideTekiyo), changed);
  Assign(config_.SetMaxOddsSanrentan, chkSetMaxOddsSanrentan->isChecked(), changed);
  Assign(config_.SimulationEndSound, chkSimulationEndSound->isChecked(), changed);
  Assign(config_.SimulationEndSoundFileName, S(edtSimulationEndSoundFileName->text()), changed);
  Assign(config_.HaibunTekichuRitsuKubun, CheckedIndex(radHaibunTekichuRitsuKubun), changed);
  Assign(config_.RaceTekichuRitsu100, chkRaceTekichuRitsu100->isChecked(), changed);
  Assign(config_.TanshoRitsuChoseiOption, CheckedIndex(radTanshoRitsuChoseiOption), changed);
  Assign(config_.TanshoRitsuGensanKeisu, DecimalOf(edtTanshoRitsuGensanKeisu), changed);
  Assign(config_.TanshoRitsuGosaHosei, DecimalOf(edtTanshoRitsuGosaHosei), changed);
  Assign(config_.MinTanshoRitsu, DecimalOf(edtMinTanshoRitsu), changed);
  if (changed) config_.SaveSettings();
  return true;
}

bool RenderOptionSettingPng(TConfig& config, IDialogs& dialogs, const QString& category, const QString& pngPath) {
  TfrmOptionSetting dialog(config, dialogs);
  dialog.ShowCategory(category);
  for (int i = 0; i < dialog.tvwCategory->topLevelItemCount(); ++i)
    if (dialog.tvwCategory->topLevelItem(i)->text(0) == category)
      dialog.tvwCategory->setCurrentItem(dialog.tvwCategory->topLevelItem(i));
  dialog.ensurePolished();
  dialog.adjustSize();
  dialog.resize(dialog.size().expandedTo(QSize(620, 400)));
  return dialog.grab().save(pngPath, "PNG");
}

}  // namespace zelk
