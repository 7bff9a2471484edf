#pragma once
// TfrmMain: the application's MDI frame "Zelkaro（ZELK）". Creating it runs start-up through
// TApplicationCore, closing it runs shut-down. Its menus and action list open every other
// window of the system; windows built elsewhere plug in with SetActionHandler and
// SetChildFactory.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "data/app_startup.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace zelk {

class TfrmProgress;
class TfrmSplash;
class TImportWindows;

class TfrmMain final : public QMainWindow, public IShellView {
  Q_OBJECT
 public:
  // `splashMs`: how long the splash stays at least (screenshot runs use 0).
  explicit TfrmMain(TApplicationCore& core, int splashMs = 2000);
  ~TfrmMain() override;

  // Start-up (the window stays disabled until the splash closes). On anything but Running the
  // window must not be shown; the caller ends the application with core.ExitCode().
  TStartupResult FormCreate();
  // Creates the progress window, applies the stored geometry and shows the window.
  void FormShow();

  // IShellView
  void ShowSplash() override;
  void ApplyMainToolbarSettings() override;
  void StartupDone() override;
  void CloseChildWindows() override;
  TWindowGeometry CurrentGeometry() const override;

  // The action list aclMain by action name ("actAboutShow", …); null for an unknown name.
  QAction* Action(const QString& name) const;
  std::vector<QAction*> Actions() const;
  // The top-level menus by object name: mnuFile, mnuStart, mnuData, mnuTool, mnuMainWindow, mnuHelp.
  QMenu* Menu(const QString& name) const;
  QToolBar* Toolbar() const { return toolbarMain_; }
  QToolButton* ToolButton(const QString& name) const;
  QMdiArea* MdiArea() const { return mdiArea_; }
  TfrmProgress* Progress() const { return progress_; }
  TImportWindows& ImportWindows() { return *imports_; }
  TApplicationCore& Core() { return core_; }

  // True when one of the application's windows (MDI child or top-level window) has this
  // component name.
  bool IsFormOpen(const QString& componentName) const;
  // The MDI child with this component name, or null.
  QMdiSubWindow* FindChildWindow(const QString& componentName) const;

  // What an action does after its log entry (windows of other subsystems register here).
  void SetActionHandler(const QString& actionName, std::function<void()> handler);
  // Builds the MDI child of that component name ("frmBakenSimulation", "frmAutoHandle",
  // "frmShushiKanri"); the default is a stand-in with the window's caption.
  using TChildFactory = std::function<QWidget*(TfrmMain&)>;
  void SetChildFactory(const QString& componentName, TChildFactory factory);

  // actBroadcastConfigChange: toolbar settings again, then the simulation and
  // automatic-operation windows re-read the settings.
  void BroadcastConfigChange();

 signals:
  // Shut-down has run; the application ends even if other top-level windows are still open.
  void MainClosed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolbar();
  QAction* AddAction(const char* name, const char* caption, const char* logEntry, std::function<void()> effect);
  void RunAction(const QString& name);
  QMdiSubWindow* OpenChild(const QString& componentName, const char* caption);
  void ShowBakenSimulation();
  void ShowAutoHandle();
  void ShowShushiKanri();
  void RebuildWindowList();
  void OpenAddress(const char* address);
  void ShowOptionSetting();

  TApplicationCore& core_;
  int splashMs_;
  QMdiArea* mdiArea_;
  QToolBar* toolbarMain_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QAction* windowListSeparator_ = nullptr;
  TfrmProgress* progress_ = nullptr;
  QPointer<TfrmSplash> splash_;
  std::unique_ptr<TImportWindows> imports_;
  std::map<QString, QAction*> actions_;
  std::map<QString, QString> logEntries_;
  std::map<QString, std::function<void()>> handlers_;
  std::map<QString, TChildFactory> childFactories_;
  bool closed_ = false;
};

}  // namespace zelk
