#pragma once
// The options dialog: a category tree on the left, one page per category on the right (no tabs).
// OK checks the commit count, copies the values into the settings object and saves them when
// anything changed.
#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;

namespace zelk {

class IDialogs;
class TConfig;

inline constexpr const char* kOptionCommitKensuWarning = "1以上の整数を入力する必要があります";

class TfrmOptionSetting : public QDialog {
  Q_OBJECT

 public:
  TfrmOptionSetting(TConfig& config, IDialogs& dialogs, QWidget* parent = nullptr);

  // Plays the WAV file (asynchronously); not set = no sound.
  std::function<void(const std::string& wavFile)> PlaySound;
  // Asks for a WAV file starting in `startFolder`; empty = cancelled. Defaults to a file dialog
  // filtered "サウンド (*.wav)".
  std::function<std::string(const std::string& startFolder)> ChooseSoundFile;

  // The OK button's work: false (warning shown, システム page and commit field focused) when the
  // commit count is not an integer of 1 to 65535; otherwise copies every value back, saves the
  // settings when one changed and returns true.
  bool ConfirmOk();
  // Shows the page of a category text; any other text shows the first page.
  void ShowCategory(const QString& category);
  int CurrentPage() const;

  // Controls, named as in the window; tests drive them.
  QTreeWidget* tvwCategory;
  QStackedWidget* pages;
  QCheckBox *chkLogOutput, *chkAutoDelete, *chkMainToolBarVisible;
  QLineEdit *edtLogHozonKikan, *edtSokuhoDataHozonKikan, *edtCommitKensuJV;
  QRadioButton* radFukushoTekiyo[3];
  QRadioButton* radWideTekiyo[3];
  QCheckBox* chkSetMaxOddsSanrentan;
  QGroupBox* grpTotalHyosu;
  QLineEdit* edtTotalHyosu[5];
  QCheckBox *chkSimulationEndSound, *chkRaceTekichuRitsu100;
  QLineEdit* edtSimulationEndSoundFileName;
  QPushButton *btnSoundFileChange, *btnSoundPlay;
  QRadioButton* radHaibunTekichuRitsuKubun[3];
  QRadioButton* radTanshoRitsuChoseiOption[3];
  QLineEdit *edtTanshoRitsuGensanKeisu, *edtTanshoRitsuGosaHosei, *edtMinTanshoRitsu;
  QPushButton *btnOK, *btnCancel;

 private:
  QWidget* BuildSystemPage();
  QWidget* BuildOddsPage();
  QWidget* BuildSimulationPage();
  QWidget* BuildTanshoRitsuPage();
  void FillFromConfig();
  void ChangeSoundFile();

  TConfig& config_;
  IDialogs& dialogs_;
};

// Renders the dialog on the page of `category` to a PNG file (screenshots). False on failure.
bool RenderOptionSettingPng(TConfig& config, IDialogs& dialogs, const QString& category, const QString& pngPath);

}  // namespace zelk
