#pragma once
// The import windows of the two data links: TfrmJVLink "JRA-VAN Data Lab.データ インポート処理"
// and TfrmNVLink "地方競馬データ インポート処理". Both are TfrmDataLink with their own caption,
// thin over TImportRunner: they move the 対象データ設定 values into the runner and show its
// memo lines, bars and counters.
#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>

#include "data/import_runner.h"
#include "data/record_writer.h"
#include "platform/data_link.h"

class QButtonGroup;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace zelk {

class TConfig;
class TdmdOV;
class TErrorLog;
class TFileDataLink;

class TfrmDataLink : public QMainWindow, private IImportMemo, private IImportProgress {
  Q_OBJECT
 public:
  // The window owns the link and the writer for its life.
  TfrmDataLink(TLinkVariant variant, IImportHost& host, TErrorLog& log, std::unique_ptr<IRecordWriter> writer,
               std::unique_ptr<IDataLink> link, IDialogs& dialogs, const IClock& clock, QWidget* parent = nullptr);
  // The application's window: its own record writer (TJVTables / TNVTables) and a file link on
  // the configured link store, whose Properties() shows the properties dialog.
  TfrmDataLink(TLinkVariant variant, TConfig& config, TErrorLog& log, TdmdOV& dmd, IDialogs& dialogs,
               const IClock& clock, QWidget* parent = nullptr);
  ~TfrmDataLink() override;

  TImportRunner& Runner() { return *runner_; }
  IDataLink& Link() { return *link_; }
  // The real-time operations of the automatic run.
  int FetchSokuhoData(const TDateTime& raceDate) { return runner_->FetchSokuhoData(raceDate); }
  int FetchSokuhoOdds(const std::string& course, int raceNo, const TDateTime& date) {
    return runner_->FetchSokuhoOdds(course, raceNo, date);
  }
  std::filesystem::path GetSavePath() const { return runner_->GetSavePath(); }

  // Writes the window as it looks now to a PNG file (screenshots). False when it cannot be saved.
  bool RenderToPng(const QString& file);

  // User operations (also what tests press).
  void btnExecDownloadClick();
  void btnStopClick();
  void btnCloseClick();
  void rgrShoriKubunClick();

  // Controls, named as in the window's design.
  QButtonGroup* rgrShoriKubun = nullptr;
  QGroupBox* grpShoriKubun = nullptr;
  QRadioButton* radSabun = nullptr;
  QRadioButton* radKobetsu = nullptr;
  QRadioButton* radSetup = nullptr;
  QLabel* txtShoriKubun = nullptr;
  QTabWidget* pagJVImport = nullptr;
  QPlainTextEdit* memLog = nullptr;
  QGroupBox* grpSabun = nullptr;
  QGroupBox* grpKobetsuSettei = nullptr;
  QCheckBox* chkKobetsuRACE = nullptr;
  QLineEdit* edtKobetsuDateRACE = nullptr;
  QLineEdit* edtKobetsuTimeRACE = nullptr;
  QGroupBox* grpSetup = nullptr;
  QCheckBox* chkSetupRACE = nullptr;
  QLineEdit* edtSetupFromYY = nullptr;
  QLineEdit* edtSetupFromMM = nullptr;
  QCheckBox* chkOptionSetup = nullptr;
  QProgressBar* barDL = nullptr;
  QProgressBar* barRead = nullptr;
  QLabel* txtTotalReadCount = nullptr;
  QLabel* txtReadingCount = nullptr;
  QLabel* staPanels[3] = {nullptr, nullptr, nullptr};
  QPushButton* btnExecDownload = nullptr;
  QPushButton* btnStop = nullptr;
  QPushButton* btnClose = nullptr;

 private:
  class TQtPump;
  void Initialise();
  void BuildControls();
  void FillKobetsuEdits();
  void Tidy();
  TImportKind Kind() const;
  void FocusField(TImportField field);

  // IImportMemo, IImportProgress
  void AddLine(const std::string& line) override;
  void SetDownloadRange(int maximum) override;
  void SetDownloadPosition(int position) override;
  void SetReadRange(long long maximumBytes) override;
  void SetReadPosition(long long bytes) override;
  void SetReadFull() override;
  void SetTotalReadCount(long long count) override;
  void SetReadingCount(long long count) override;
  void SetStatusPanel(int index, const std::string& text) override;

  TLinkVariant variant_;
  const IClock& clock_;
  std::unique_ptr<IRecordWriter> writer_;
  std::unique_ptr<IDataLink> link_;
  std::unique_ptr<TQtPump> pump_;
  std::unique_ptr<TImportRunner> runner_;
};

class TfrmJVLink final : public TfrmDataLink {
  Q_OBJECT
 public:
  TfrmJVLink(IImportHost& host, TErrorLog& log, std::unique_ptr<IRecordWriter> writer,
             std::unique_ptr<IDataLink> link, IDialogs& dialogs, const IClock& clock, QWidget* parent = nullptr)
      : TfrmDataLink(TLinkVariant::Central, host, log, std::move(writer), std::move(link), dialogs, clock, parent) {}
  TfrmJVLink(TConfig& config, TErrorLog& log, TdmdOV& dmd, IDialogs& dialogs, const IClock& clock, QWidget* parent = nullptr)
      : TfrmDataLink(TLinkVariant::Central, config, log, dmd, dialogs, clock, parent) {}
};

class TfrmNVLink final : public TfrmDataLink {
  Q_OBJECT
 public:
  TfrmNVLink(IImportHost& host, TErrorLog& log, std::unique_ptr<IRecordWriter> writer,
             std::unique_ptr<IDataLink> link, IDialogs& dialogs, const IClock& clock, QWidget* parent = nullptr)
      : TfrmDataLink(TLinkVariant::Local, host, log, std::move(writer), std::move(link), dialogs, clock, parent) {}
  TfrmNVLink(TConfig& config, TErrorLog& log, TdmdOV& dmd, IDialogs& dialogs, const IClock& clock, QWidget* parent = nullptr)
      : TfrmDataLink(TLinkVariant::Local, config, log, dmd, dialogs, clock, parent) {}
};

// The properties dialog of a file link: its version ("JV-Link : 4.0.0") and the link store
// folder, which OK applies to the link and remembers in the application folder.
// Answers 0 (OK) or -1 (cancelled). When `shown` is given it is called with the dialog instead of
// running it modally (tests fill in and accept it there).
int ShowLinkProperties(QWidget* parent, TLinkVariant variant, TFileDataLink& link, const std::filesystem::path& appDir,
                       const std::function<void(QDialog&)>& shown = {});

}  // namespace zelk
