#include "ui/data/jv_link_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "common/config.h"
#include "common/error_log.h"
#include "data/record_tables.h"
#include "data/record_writer.h"
#include "platform/data_link.h"
#include "platform/file_data_link.h"

namespace zelk {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString DigitsOnly(const QString& text) {
  QString out;
  for (QChar c : text)
    if (c.isDigit()) out += c;
  return out;
}

}  // namespace

// Keeps the window alive during an import: pending events are processed between records,
// and the download poll waits with the event loop running, so "中止" can be pressed.
class TfrmDataLink::TQtPump final : public IPump {
 public:
  void ProcessMessages() override { QCoreApplication::processEvents(); }
  void WaitMs(int milliseconds) override {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
  }
};

TfrmDataLink::TfrmDataLink(TLinkVariant variant, IImportHost& host, TErrorLog& log,
                           std::unique_ptr<IRecordWriter> writer, std::unique_ptr<IDataLink> link, IDialogs& dialogs,
                           const IClock& clock, QWidget* parent)
    : QMainWindow(parent),
      variant_(variant),
      clock_(clock),
      writer_(std::move(writer)),
      link_(std::move(link)),
      pump_(std::make_unique<TQtPump>()),
      runner_(std::make_unique<TImportRunner>(variant, host, log, *writer_, *link_, dialogs, *pump_, clock)) {
  Initialise();
}

TfrmDataLink::TfrmDataLink(TLinkVariant variant, TConfig& config, TErrorLog& log, TdmdOV& dmd, IDialogs& dialogs,
                           const IClock& clock, QWidget* parent)
    : QMainWindow(parent), variant_(variant), clock_(clock), pump_(std::make_unique<TQtPump>()) {
  const bool central = variant == TLinkVariant::Central;
  if (central)
    writer_ = std::make_unique<TJVTables>(config, dmd, log);
  else
    writer_ = std::make_unique<TNVTables>(config, dmd, log);
  auto fileLink = std::make_unique<TFileDataLink>(
      TFileDataLink::ConfiguredStoreFolder(config.AppDir(), central ? TLinkSide::Central : TLinkSide::Local));
  std::filesystem::path appDir = config.AppDir();
  fileLink->SetPropertiesHandler(
      [this, appDir](TFileDataLink& l) { return ShowLinkProperties(this, variant_, l, appDir); });
  link_ = std::move(fileLink);
  runner_ = std::make_unique<TImportRunner>(variant, config, log, dmd, *writer_, *link_, dialogs, *pump_, clock);
  Initialise();
}

void TfrmDataLink::Initialise() {
  setObjectName(variant_ == TLinkVariant::Central ? "frmJVLink" : "frmNVLink");
  setWindowTitle(Q(runner_->Caption()));
  BuildControls();
  runner_->SetMemo(this);
  runner_->SetProgress(this);

  runner_->Create();
  if (!runner_->SetupAvailable()) {
    // Links before version 0203 have no setup: the kind leaves the group.
    rgrShoriKubun->removeButton(radSetup);
    radSetup->hide();
    grpShoriKubun->setFixedHeight(96);
  }
  FillKobetsuEdits();
  memLog->clear();
  staPanels[0]->setText(Q(runner_->LinkStatusText()));
  staPanels[1]->clear();
  staPanels[2]->clear();
  edtSetupFromYY->setText(QString::number(clock_.Now().year - 2));
  edtSetupFromMM->setText("1");
  radSabun->setChecked(true);
  rgrShoriKubunClick();
  pagJVImport->setCurrentIndex(0);
}

TfrmDataLink::~TfrmDataLink() {
  runner_.reset();
  writer_.reset();
  link_.reset();
}

void TfrmDataLink::BuildControls() {
  auto* central = new QWidget(this);
  auto* root = new QVBoxLayout(central);

  grpShoriKubun = new QGroupBox(central);
  grpShoriKubun->setObjectName("rgrShoriKubun");
  auto* kindLayout = new QVBoxLayout(grpShoriKubun);
  rgrShoriKubun = new QButtonGroup(this);
  radSabun = new QRadioButton("通常 （差分データ）", grpShoriKubun);
  radKobetsu = new QRadioButton("個別設定 （メンテナンス）", grpShoriKubun);
  radSetup = new QRadioButton("セットアップ （年次指定）", grpShoriKubun);
  rgrShoriKubun->addButton(radSabun, 0);
  rgrShoriKubun->addButton(radKobetsu, 1);
  rgrShoriKubun->addButton(radSetup, 2);
  kindLayout->addWidget(radSabun);
  kindLayout->addWidget(radKobetsu);
  kindLayout->addWidget(radSetup);
  connect(rgrShoriKubun, &QButtonGroup::idClicked, this, [this](int) { rgrShoriKubunClick(); });

  txtShoriKubun = new QLabel("処理区分", central);
  txtShoriKubun->setObjectName("txtShoriKubun");

  pagJVImport = new QTabWidget(central);
  pagJVImport->setObjectName("pagJVImport");
  memLog = new QPlainTextEdit;
  memLog->setObjectName("memLog");
  memLog->setReadOnly(true);
  pagJVImport->addTab(memLog, "処理ログ");

  auto* settings = new QWidget;
  auto* settingsLayout = new QVBoxLayout(settings);
  grpSabun = new QGroupBox(settings);
  grpSabun->setObjectName("grpSabun");
  (new QVBoxLayout(grpSabun))->addWidget(new QLabel("最新処理以降に提供された差分データを対象とします。"));

  grpKobetsuSettei = new QGroupBox(settings);
  grpKobetsuSettei->setObjectName("grpKobetsuSettei");
  auto* kobetsu = new QHBoxLayout(grpKobetsuSettei);
  chkKobetsuRACE = new QCheckBox("レース情報");
  chkKobetsuRACE->setObjectName("chkKobetsuRACE");
  chkKobetsuRACE->setChecked(true);
  edtKobetsuDateRACE = new QLineEdit;
  edtKobetsuDateRACE->setObjectName("edtKobetsuDateRACE");
  edtKobetsuDateRACE->setInputMask("9999/99/99;_");
  edtKobetsuTimeRACE = new QLineEdit;
  edtKobetsuTimeRACE->setObjectName("edtKobetsuTimeRACE");
  edtKobetsuTimeRACE->setInputMask("99:99:99;_");
  kobetsu->addWidget(chkKobetsuRACE);
  kobetsu->addWidget(edtKobetsuDateRACE);
  kobetsu->addWidget(edtKobetsuTimeRACE);

  grpSetup = new QGroupBox(settings);
  grpSetup->setObjectName("grpSetup");
  auto* setup = new QHBoxLayout(grpSetup);
  chkSetupRACE = new QCheckBox("レース情報");
  chkSetupRACE->setObjectName("chkSetupRACE");
  chkSetupRACE->setChecked(true);
  edtSetupFromYY = new QLineEdit;
  edtSetupFromYY->setObjectName("edtSetupFromYY");
  edtSetupFromMM = new QLineEdit;
  edtSetupFromMM->setObjectName("edtSetupFromMM");
  setup->addWidget(chkSetupRACE);
  setup->addWidget(new QLabel("開始年月："));
  setup->addWidget(edtSetupFromYY);
  setup->addWidget(new QLabel("年"));
  setup->addWidget(edtSetupFromMM);
  setup->addWidget(new QLabel("月"));

  chkOptionSetup = new QCheckBox("セットアップ・モード");
  chkOptionSetup->setObjectName("chkOptionSetup");
  settingsLayout->addWidget(grpSabun);
  settingsLayout->addWidget(grpKobetsuSettei);
  settingsLayout->addWidget(grpSetup);
  settingsLayout->addWidget(chkOptionSetup);
  settingsLayout->addStretch();
  pagJVImport->addTab(settings, "対象データ設定");

  auto* top = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(txtShoriKubun);
  left->addWidget(grpShoriKubun);
  left->addStretch();
  top->addLayout(left);
  top->addWidget(pagJVImport, 1);
  root->addLayout(top, 1);

  auto* bars = new QGridLayout;
  barDL = new QProgressBar;
  barDL->setObjectName("barDL");
  barRead = new QProgressBar;
  barRead->setObjectName("barRead");
  txtTotalReadCount = new QLabel("0");
  txtTotalReadCount->setObjectName("txtTotalReadCount");
  txtReadingCount = new QLabel("0");
  txtReadingCount->setObjectName("txtReadingCount");
  bars->addWidget(new QLabel("ダウンロード"), 0, 0);
  bars->addWidget(barDL, 0, 1);
  bars->addWidget(new QLabel("読込済件数"), 0, 2);
  bars->addWidget(txtTotalReadCount, 0, 3);
  bars->addWidget(new QLabel("読込処理"), 1, 0);
  bars->addWidget(barRead, 1, 1);
  bars->addWidget(new QLabel("処理中件数"), 1, 2);
  bars->addWidget(txtReadingCount, 1, 3);
  root->addLayout(bars);

  auto* buttons = new QHBoxLayout;
  btnExecDownload = new QPushButton("ダウンロード実行");
  btnExecDownload->setObjectName("btnExecDownload");
  btnStop = new QPushButton("中止");
  btnStop->setObjectName("btnStop");
  btnClose = new QPushButton("閉じる");
  btnClose->setObjectName("btnClose");
  buttons->addStretch();
  buttons->addWidget(btnExecDownload);
  buttons->addWidget(btnStop);
  buttons->addWidget(btnClose);
  root->addLayout(buttons);
  connect(btnExecDownload, &QPushButton::clicked, this, [this] { btnExecDownloadClick(); });
  connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

  setCentralWidget(central);
  auto* bar = new QStatusBar(this);
  bar->setObjectName("staBar");
  const int widths[3] = {130, 295, 295};
  for (int i = 0; i < 3; ++i) {
    staPanels[i] = new QLabel;
    staPanels[i]->setFixedWidth(widths[i]);
    bar->addWidget(staPanels[i]);
  }
  setStatusBar(bar);
  resize(760, 520);
}

TImportKind TfrmDataLink::Kind() const {
  switch (rgrShoriKubun->checkedId()) {
    case 1: return TImportKind::Individual;
    case 2: return TImportKind::Setup;
    default: return TImportKind::Difference;
  }
}

void TfrmDataLink::rgrShoriKubunClick() {
  TImportKind kind = Kind();
  grpSabun->setVisible(kind == TImportKind::Difference);
  grpKobetsuSettei->setVisible(kind == TImportKind::Individual);
  grpSetup->setVisible(kind == TImportKind::Setup);
  chkOptionSetup->setVisible(kind == TImportKind::Individual);
  if (kind != TImportKind::Individual) chkOptionSetup->setChecked(false);
}

void TfrmDataLink::FillKobetsuEdits() {
  std::string stamp = runner_->Host().DifferenceTimestamp(variant_);
  edtKobetsuDateRACE->setText(Q(stamp.substr(0, std::min<size_t>(8, stamp.size()))));
  edtKobetsuTimeRACE->setText(stamp.size() > 8 ? Q(stamp.substr(8, 6)) : QString());
}

void TfrmDataLink::FocusField(TImportField field) {
  QWidget* w = nullptr;
  switch (field) {
    case TImportField::KobetsuRace: w = chkKobetsuRACE; break;
    case TImportField::KobetsuDate: w = edtKobetsuDateRACE; break;
    case TImportField::SetupYear: w = edtSetupFromYY; break;
    case TImportField::SetupMonth: w = edtSetupFromMM; break;
    case TImportField::SetupRace: w = chkSetupRACE; break;
    case TImportField::None: return;
  }
  pagJVImport->setCurrentIndex(1);
  w->setFocus();
}

void TfrmDataLink::btnExecDownloadClick() {
  TImportInputs in;
  in.kind = Kind();
  in.kobetsuRace = chkKobetsuRACE->isChecked();
  in.kobetsuDate = DigitsOnly(edtKobetsuDateRACE->text()).toStdString();
  in.kobetsuTime = DigitsOnly(edtKobetsuTimeRACE->text()).toStdString();
  in.setupMode = chkOptionSetup->isChecked();
  in.setupYear = edtSetupFromYY->text().toStdString();
  in.setupMonth = edtSetupFromMM->text().toStdString();
  in.setupRace = chkSetupRACE->isChecked();

  pagJVImport->setCurrentIndex(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  btnExecDownload->setEnabled(false);
  btnClose->setEnabled(false);
  TImportField focus = TImportField::None;
  runner_->ExecDownload(in, &focus);
  Tidy();
  FocusField(focus);
}

void TfrmDataLink::Tidy() {
  btnExecDownload->setEnabled(true);
  btnClose->setEnabled(true);
  staPanels[1]->clear();
  staPanels[2]->clear();
  barDL->reset();
  barRead->reset();
  if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  txtTotalReadCount->clear();
  txtReadingCount->clear();
  FillKobetsuEdits();
}

void TfrmDataLink::btnStopClick() { runner_->Stop(); }

void TfrmDataLink::btnCloseClick() {
  runner_->LogClose();
  hide();
}

bool TfrmDataLink::RenderToPng(const QString& file) {
  ensurePolished();
  if (!isVisible()) {
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
  }
  return grab().save(file, "PNG");
}

void TfrmDataLink::AddLine(const std::string& line) { memLog->appendPlainText(Q(line)); }

void TfrmDataLink::SetDownloadRange(int maximum) { barDL->setRange(0, std::max(1, maximum)); }

void TfrmDataLink::SetDownloadPosition(int position) { barDL->setValue(std::min(position, barDL->maximum())); }

// The read bar runs in kilobytes so that large imports fit its integer range.
void TfrmDataLink::SetReadRange(long long maximumBytes) {
  barRead->setRange(0, static_cast<int>(std::max(1LL, maximumBytes / 1000)));
}

void TfrmDataLink::SetReadPosition(long long bytes) {
  barRead->setValue(static_cast<int>(std::min<long long>(bytes / 1000, barRead->maximum())));
}

void TfrmDataLink::SetReadFull() { barRead->setValue(barRead->maximum()); }

void TfrmDataLink::SetTotalReadCount(long long count) { txtTotalReadCount->setText(QString::number(count)); }

void TfrmDataLink::SetReadingCount(long long count) { txtReadingCount->setText(QString::number(count)); }

void TfrmDataLink::SetStatusPanel(int index, const std::string& text) {
  if (index >= 0 && index < 3) staPanels[index]->setText(Q(text));
}

int ShowLinkProperties(QWidget* parent, TLinkVariant variant, TFileDataLink& link, const std::filesystem::path& appDir,
                       const std::function<void(QDialog&)>& shown) {
  const bool central = variant == TLinkVariant::Central;
  QDialog dlg(parent);
  dlg.setObjectName(central ? "frmJVLinkProperties" : "frmNVLinkProperties");
  dlg.setWindowTitle(central ? "JV-Linkのプロパティ" : "UmaConnのプロパティ");
  auto* layout = new QVBoxLayout(&dlg);
  auto* version = new QLabel(Q(std::string(central ? "JV-Link" : "UmaConn") + " : " + LinkVersionText(link.Version())));
  version->setObjectName("lblVersion");
  layout->addWidget(version);
  layout->addWidget(new QLabel("リンク・ストアのフォルダ："));
  auto* row = new QHBoxLayout;
  auto* folder = new QLineEdit(QString::fromStdString(link.StoreFolder().string()));
  folder->setObjectName("edtStoreFolder");
  auto* browse = new QPushButton("参照...");
  row->addWidget(folder, 1);
  row->addWidget(browse);
  layout->addLayout(row);
  auto* save = new QLabel(QString("保存先：") + Q(link.SavePath().string()));
  layout->addWidget(save);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(box);
  QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  QObject::connect(browse, &QPushButton::clicked, &dlg, [&] {
    QString chosen = QFileDialog::getExistingDirectory(&dlg, "リンク・ストアのフォルダ", folder->text());
    if (!chosen.isEmpty()) folder->setText(chosen);
  });
  if (shown) {
    shown(dlg);
  } else {
    dlg.exec();
  }
  if (dlg.result() != QDialog::Accepted) return -1;
  std::filesystem::path chosen = folder->text().trimmed().toStdString();
  if (!chosen.empty() && chosen != link.StoreFolder()) {
    link.SetStoreFolder(chosen);
    TFileDataLink::SaveStoreFolder(appDir, central ? TLinkSide::Central : TLinkSide::Local, chosen);
  }
  return 0;
}

}  // namespace zelk
