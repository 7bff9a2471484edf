#pragma once
// TfrmAbout: the version dialog "バージョン情報", modal, centred on the main window.
#include <QDialog>

class QLabel;
class QPushButton;

namespace zelk {

class TErrorLog;

class TfrmAbout final : public QDialog {
  Q_OBJECT
 public:
  TfrmAbout(TErrorLog& log, QWidget* owner);

  QLabel* VersionLabel() const { return lblVersion_; }
  QLabel* EditionLabel() const { return lblEdition_; }
  QPushButton* OkButton() const { return btnOK_; }

 protected:
  void done(int result) override;

 private:
  TErrorLog& log_;
  QLabel* lblVersion_;
  QLabel* lblEdition_;
  QPushButton* btnOK_;
  bool closedLogged_ = false;
};

}  // namespace zelk
