#include "ui/app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QIcon>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "common/config.h"
#include "common/error_log.h"
#include "common/ui_services.h"
#include "data/web_addresses.h"
#include "platform/shell.h"
#include "ui/app/about_dialog.h"
#include "ui/app/config_listener.h"
#include "ui/app/import_windows.h"
#include "ui/data/jv_link_window.h"
#include "ui/app/placeholder_windows.h"
#include "ui/app/progress_window.h"
#include "ui/app/screenshots.h"
#include "ui/app/splash_window.h"
#include "ui/common/option_setting_dialog.h"

namespace zelk {
namespace {

const char* const kCaption = "Zelkaro（ZELK）";
const char* const kSimulationExcluded = "馬券シミュレーション画面を起動するには自動運転画面を閉じてください。";
const char* const kAutoHandleExcluded = "自動運転画面を起動するには馬券シミュレーション画面を閉じてください。";

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

QIcon ProductIcon() {
  QPixmap pm(32, 32);
  pm.fill(QColor(12, 60, 32));
  QPainter p(&pm);
  p.setPen(QColor(230, 200, 90));
  QFont f = p.font();
  f.setPixelSize(24);
  f.setBold(true);
  p.setFont(f);
  p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("Z"));
  return QIcon(pm);
}

}  // namespace

TfrmMain::TfrmMain(TApplicationCore& core, int splashMs)
    : core_(core), splashMs_(splashMs), imports_(std::make_unique<TImportWindows>(core)) {
  imports_->onSettingsChanged = [this] { RunAction(QStringLiteral("actBroadcastConfigChange")); };
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(Q(kCaption));
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProductIcon());
  mdiArea_ = new QMdiArea(this);
  mdiArea_->setObjectName(QStringLiteral("mdiMain"));
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  CreateActions();
  CreateMenus();
  CreateToolbar();
}

TfrmMain::~TfrmMain() {
  imports_->Release();
  if (splash_) delete splash_.data();
}

// ---- actions and menus ---------------------------------------------------------------------

QAction* TfrmMain::AddAction(const char* name, const char* caption, const char* logEntry,
                             std::function<void()> effect) {
  auto* a = new QAction(Q(caption), this);
  a->setObjectName(Q(name));
  QString key = Q(name);
  actions_[key] = a;
  if (logEntry) logEntries_[key] = Q(logEntry);
  if (effect) handlers_[key] = std::move(effect);
  connect(a, &QAction::triggered, this, [this, key] { RunAction(key); });
  return a;
}

void TfrmMain::RunAction(const QString& name) {
  auto entry = logEntries_.find(name);
  if (entry != logEntries_.end() && core_.HasLog()) {
    core_.Log().WriteOperationLog(kMainFormText, entry->second.toStdString());
  }
  auto h = handlers_.find(name);
  if (h != handlers_.end() && h->second) h->second();
}

void TfrmMain::SetActionHandler(const QString& actionName, std::function<void()> handler) {
  handlers_[actionName] = std::move(handler);
}

void TfrmMain::SetChildFactory(const QString& componentName, TChildFactory factory) {
  childFactories_[componentName] = std::move(factory);
}

void TfrmMain::CreateActions() {
  AddAction("actTerminate", "終了(&X)", nullptr, [this] { close(); });
  AddAction("actBakenSimulationShow", "馬券シミュレーション(&B)", "「馬券購入シミュレーション」起動",
            [this] { ShowBakenSimulation(); });
  AddAction("actShushiKanriShow", "投票履歴(&L)", "「投票履歴」起動", [this] { ShowShushiKanri(); });
  AddAction("actAutoHandleShow", "自動運転(&A)", "「自動運転」起動", [this] { ShowAutoHandle(); });
  AddAction("actJvImport", "中央競馬データのインポート(&J)", "「JV-Dataインポート」起動",
            [this] { imports_->Show(TLinkVariant::Central); });
  AddAction("actNvImport", "地方競馬データのインポート(&N)", "「地方競馬ＤＡＴＡデータインポート」起動",
            [this] { imports_->Show(TLinkVariant::Local); });
  AddAction("actJvLinkProperties", "JV-Linkのプロパティ(&V)", "「JV-Linkプロパティ」起動",
            [this] { imports_->Properties(TLinkVariant::Central); });
  AddAction("actNvLinkProperties", "UmaConnのプロパティ(&X)", "「UmaConnプロパティ」起動",
            [this] { imports_->Properties(TLinkVariant::Local); });
  AddAction("actJVDeleteCache", "JV-Linkキャッシュ削除(&Y)", nullptr, nullptr);
  AddAction("actNVDeleteCache", "UmaConnキャッシュ削除(&Z)", nullptr, nullptr);
  AddAction("actWebOpenInetIDNyuryoku", "INET-ID 入力画面を開く(&N)", nullptr,
            [this] { OpenAddress(kAddressInetIdNyuryoku); });
  AddAction("actRakutenNyukin", "楽天入金(&A)", "「楽天入金」起動", nullptr);
  AddAction("actIpatNinshoCodeShow", "IPAT認証コード設定(&I)", "「IPAT認証コード」起動", nullptr);
  AddAction("actRakutenAccountChange", "楽天アカウント変更(&R)", nullptr, nullptr);
  AddAction("actOptionSettingShow", "オプション(&O)...", "「オプション設定」起動", [this] { ShowOptionSetting(); });
  AddAction("WindowTileHorizontal1", "上下に並べて表示(&H)", nullptr, [this] {
    // One child per row, full width.
    QList<QMdiSubWindow*> list = mdiArea_->subWindowList();
    if (list.isEmpty()) return;
    QRect area = mdiArea_->viewport()->rect();
    int h = area.height() / static_cast<int>(list.size());
    for (int i = 0; i < list.size(); ++i) {
      list[i]->showNormal();
      list[i]->setGeometry(0, i * h, area.width(), h);
    }
  });
  AddAction("WindowTileVertical1", "左右に並べて表示(&T)", nullptr, [this] {
    // One child per column, full height.
    QList<QMdiSubWindow*> list = mdiArea_->subWindowList();
    if (list.isEmpty()) return;
    QRect area = mdiArea_->viewport()->rect();
    int w = area.width() / static_cast<int>(list.size());
    for (int i = 0; i < list.size(); ++i) {
      list[i]->showNormal();
      list[i]->setGeometry(i * w, 0, w, area.height());
    }
  });
  AddAction("actWebHelp", "操作説明ページ(&H)", nullptr, [this] { OpenAddress(kAddressHelp); });
  AddAction("actWebOpenChihouKeibaData", "地方競馬DATA(&C)", nullptr, [this] { OpenAddress(kAddressChihouKeibaData); });
  AddAction("actAboutShow", "ZELKAROのバージョン情報(&A)...", "「バージョン情報」起動", [this] {
    TfrmAbout about(core_.Log(), this);
    about.exec();
  });

  // In the action list only: started from other windows or from code.
  AddAction("actCompactDB", "データベース最適化(&C)", "「DB最適化」起動", nullptr);
  AddAction("actDeleteRecord", "レコード削除(&D)", "「レコード削除」起動", nullptr);
  AddAction("actFormYosoOdds", "専門紙確率データのインポート（無料） (&D)", "「中央競馬予想オッズインポート」起動", nullptr);
  AddAction("actSokuPatNyukin", "即PAT入金(&N)", "「即PAT入金」起動", nullptr);
  AddAction("actWebOpenHayate", "ハヤテ通信ＷＥＢ(&K)", nullptr, [this] { OpenAddress(kAddressHayate); });
  AddAction("actBroadcastConfigChange", "設定変更の即時反映", nullptr, [this] { BroadcastConfigChange(); });
}

void TfrmMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("mnuMain"));
  auto menu = [&](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(Q(caption));
    m->setObjectName(Q(name));
    return m;
  };
  auto add = [&](QMenu* m, const char* action) { m->addAction(actions_.at(Q(action))); };

  QMenu* file = menu("mnuFile", "ファイル(&F)");
  add(file, "actTerminate");

  QMenu* start = menu("mnuStart", "スタート(&S)");
  add(start, "actBakenSimulationShow");
  add(start, "actShushiKanriShow");
  add(start, "actAutoHandleShow");

  QMenu* data = menu("mnuData", "データ(&D)");
  add(data, "actJvImport");
  add(data, "actNvImport");

  QMenu* tool = menu("mnuTool", "ツール(&T)");
  add(tool, "actJvLinkProperties");
  add(tool, "actNvLinkProperties");
  tool->addSeparator();
  add(tool, "actJVDeleteCache");
  add(tool, "actNVDeleteCache");
  tool->addSeparator();
  add(tool, "actWebOpenInetIDNyuryoku");
  add(tool, "actRakutenNyukin");
  add(tool, "actIpatNinshoCodeShow");
  add(tool, "actRakutenAccountChange");
  tool->addSeparator();
  add(tool, "actOptionSettingShow");

  windowMenu_ = menu("mnuMainWindow", "ウィンドウ(&W)");
  add(windowMenu_, "WindowTileHorizontal1");
  add(windowMenu_, "WindowTileVertical1");
  windowListSeparator_ = windowMenu_->addSeparator();
  connect(windowMenu_, &QMenu::aboutToShow, this, &TfrmMain::RebuildWindowList);

  QMenu* help = menu("mnuHelp", "ヘルプ(&H)");
  add(help, "actWebHelp");
  add(help, "actWebOpenChihouKeibaData");
  help->addSeparator();
  add(help, "actAboutShow");
}

void TfrmMain::CreateToolbar() {
  toolbarMain_ = addToolBar(QStringLiteral("toolbarMain"));
  toolbarMain_->setObjectName(QStringLiteral("toolbarMain"));
  toolbarMain_->setMovable(false);
  toolbarMain_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto button = [&](const char* name, const char* action) {
    auto* b = new QToolButton(toolbarMain_);
    b->setObjectName(Q(name));
    b->setDefaultAction(actions_.at(Q(action)));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolbarMain_->addWidget(b);
  };
  // Ordered 馬券シミュレーション, 投票履歴, 自動運転.
  button("btnBakenSimulation", "actBakenSimulationShow");
  button("btnShushiKanri", "actShushiKanriShow");
  button("btnAutoHandle", "actAutoHandleShow");
  toolbarMain_->setVisible(false);
}

void TfrmMain::RebuildWindowList() {
  QList<QAction*> items = windowMenu_->actions();
  int sep = static_cast<int>(items.indexOf(windowListSeparator_));
  for (int i = sep + 1; i < items.size(); ++i) {
    windowMenu_->removeAction(items[i]);
    items[i]->deleteLater();
  }
  int n = 0;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    QAction* a = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
    a->setCheckable(true);
    a->setChecked(sub == mdiArea_->activeSubWindow());
    QPointer<QMdiSubWindow> target(sub);
    connect(a, &QAction::triggered, this, [this, target] {
      if (target) mdiArea_->setActiveSubWindow(target);
    });
  }
}

QAction* TfrmMain::Action(const QString& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

std::vector<QAction*> TfrmMain::Actions() const {
  std::vector<QAction*> list;
  for (const auto& [name, a] : actions_) list.push_back(a);
  return list;
}

QMenu* TfrmMain::Menu(const QString& name) const { return menuBar()->findChild<QMenu*>(name); }

QToolButton* TfrmMain::ToolButton(const QString& name) const { return toolbarMain_->findChild<QToolButton*>(name); }

void TfrmMain::OpenAddress(const char* address) { core_.Shell().OpenUrl(address); }

void TfrmMain::ShowOptionSetting() {
  TfrmOptionSetting frm(core_.Config(), core_.Dialogs(), this);
  frm.PlaySound = [this](const std::string& wav) { core_.Shell().PlaySoundAsync(wav); };
  if (frm.exec() == QDialog::Accepted) RunAction(QStringLiteral("actBroadcastConfigChange"));
}

// ---- start-up and shut-down ------------------------------------------------------------------

TStartupResult TfrmMain::FormCreate() {
  setEnabled(false);  // the splash enables the window when it closes
  TStartupResult result = core_.Startup(*this);
  if (result != TStartupResult::Running) {
    if (splash_) splash_->close();
    return result;
  }
  return result;
}

void TfrmMain::ShowSplash() {
  splash_ = new TfrmSplash(splashMs_);
  connect(splash_.data(), &TfrmSplash::SplashClosed, this, [this] { setEnabled(true); });
  splash_->Start();
  QApplication::processEvents();
}

void TfrmMain::StartupDone() {
  if (splash_) {
    splash_->MarkStartupDone();
  } else {
    setEnabled(true);
  }
}

void TfrmMain::ApplyMainToolbarSettings() {
  const TConfig& cfg = core_.Config();
  toolbarMain_->setVisible(cfg.MainToolBarVisible);
  Menu(QStringLiteral("mnuStart"))->menuAction()->setVisible(!cfg.MainToolBarVisible);
  actions_.at(QStringLiteral("actBakenSimulationShow"))->setVisible(true);
  actions_.at(QStringLiteral("actAutoHandleShow"))->setVisible(true);
  for (const char* name : {"actJvImport", "actJvLinkProperties"}) actions_.at(Q(name))->setEnabled(cfg.JVLinkAvailable);
  for (const char* name : {"actNvImport", "actNvLinkProperties", "actRakutenNyukin", "actRakutenAccountChange"}) {
    actions_.at(Q(name))->setEnabled(cfg.NVLinkAvailable);
  }
}

void TfrmMain::FormShow() {
  if (!progress_) progress_ = new TfrmProgress(this);
  TWindowGeometry g = core_.StoredGeometry();
  showNormal();
  move(g.left, g.top);
  if (g.width > 0 && g.height > 0) resize(g.width, g.height);
  if (g.maximized) showMaximized();
}

void TfrmMain::CloseChildWindows() {
  mdiArea_->closeAllSubWindows();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TWindowGeometry TfrmMain::CurrentGeometry() const {
  TWindowGeometry g;
  g.maximized = isMaximized();
  g.top = pos().y();
  g.left = pos().x();
  g.height = height();
  g.width = width();
  return g;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    core_.Shutdown(*this);
    if (progress_) {
      progress_->close();
      delete progress_;
      progress_ = nullptr;
    }
    imports_->Release();
    emit MainClosed();
  }
  event->accept();
}

// ---- MDI children ---------------------------------------------------------------------------

QMdiSubWindow* TfrmMain::FindChildWindow(const QString& componentName) const {
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    // A child that has closed is gone even while its deletion is still pending.
    if (sub->widget() && sub->widget()->objectName() == componentName &&
        !(sub->testAttribute(Qt::WA_DeleteOnClose) && sub->isHidden())) {
      return sub;
    }
  }
  return nullptr;
}

bool TfrmMain::IsFormOpen(const QString& componentName) const {
  if (FindChildWindow(componentName)) return true;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == componentName) return true;
  }
  return false;
}

QMdiSubWindow* TfrmMain::OpenChild(const QString& componentName, const char* caption) {
  if (QMdiSubWindow* existing = FindChildWindow(componentName)) {
    existing->show();
    if (existing->widget()) existing->widget()->show();
    mdiArea_->setActiveSubWindow(existing);
    return existing;
  }
  QWidget* form = nullptr;
  auto f = childFactories_.find(componentName);
  if (f != childFactories_.end() && f->second) form = f->second(*this);
  if (!form) form = new TPlaceholderChild(componentName.toUtf8().constData(), caption);
  form->setObjectName(componentName);
  QSize size = form->size();
  QMdiSubWindow* sub = mdiArea_->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(sub->sizeHint().expandedTo(size + QSize(8, 32)));
  sub->setWindowTitle(form->windowTitle());
  sub->show();
  mdiArea_->setActiveSubWindow(sub);
  return sub;
}

void TfrmMain::ShowBakenSimulation() {
  if (IsFormOpen(Q(kAutoHandleName))) {
    core_.Dialogs().Error(kSimulationExcluded);
    return;
  }
  OpenChild(Q(kBakenSimulationName), kBakenSimulationCaption);
}

void TfrmMain::ShowAutoHandle() {
  if (IsFormOpen(Q(kBakenSimulationName))) {
    core_.Dialogs().Error(kAutoHandleExcluded);
    return;
  }
  QMdiSubWindow* sub = OpenChild(Q(kAutoHandleName), kAutoHandleCaption);
  sub->move(0, 0);
}

void TfrmMain::ShowShushiKanri() { OpenChild(Q(kShushiKanriName), kShushiKanriCaption); }

void TfrmMain::BroadcastConfigChange() {
  ApplyMainToolbarSettings();
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    QWidget* w = sub->widget();
    if (!w) continue;
    if (w->objectName() == Q(kBakenSimulationName) || w->objectName() == Q(kAutoHandleName)) {
      if (auto* listener = dynamic_cast<IConfigListener*>(w)) listener->ConfigChanged();
    }
  }
}

// ---- screenshots ----------------------------------------------------------------------------

namespace {

void SaveMenu(TScreenshotSession& s, const char* menuName, const std::string& file) {
  QMenu* m = s.Main().Menu(Q(menuName));
  if (!m) return s.Fail(file + ": no menu");
  emit m->aboutToShow();
  m->popup(s.Main().mapToGlobal(QPoint(0, 0)));
  s.Save(m, file);
  m->hide();
}

void SaveChild(TScreenshotSession& s, const char* action, const char* component, const std::string& file) {
  TfrmMain& main = s.Main();
  main.Action(Q(action))->trigger();
  s.Save(&main, file);
  if (QMdiSubWindow* sub = main.FindChildWindow(Q(component))) sub->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TScreenshotRegistration regMain("main_window", [](TScreenshotSession& s) { s.Save(&s.Main(), "main_window"); }, 0);
TScreenshotRegistration regMenus(
    "menus",
    [](TScreenshotSession& s) {
      SaveMenu(s, "mnuFile", "menu_file");
      SaveMenu(s, "mnuStart", "menu_start");
      SaveMenu(s, "mnuData", "menu_data");
      SaveMenu(s, "mnuTool", "menu_tool");
      SaveMenu(s, "mnuMainWindow", "menu_window");
      SaveMenu(s, "mnuHelp", "menu_help");
    },
    1);
TScreenshotRegistration regSplash(
    "splash",
    [](TScreenshotSession& s) {
      auto* splash = new TfrmSplash(0);
      splash->Start();
      s.Save(splash, "splash");
      splash->close();  // deletes itself
    },
    10);
TScreenshotRegistration regProgress(
    "progress",
    [](TScreenshotSession& s) {
      TfrmProgress* p = s.Main().Progress();
      if (!p) return s.Fail("progress: no window");
      p->ShowProgress("処理中です。しばらくお待ち下さい。", true, true);
      p->SetProgressMax(10);
      p->StepProgress(4);
      s.Save(p, "progress");
      p->CloseProgress();
    },
    20);
TScreenshotRegistration regAbout(
    "about",
    [](TScreenshotSession& s) {
      TfrmAbout about(s.Main().Core().Log(), &s.Main());
      about.show();
      s.Save(&about, "about");
      about.OkButton()->click();
    },
    30);
TScreenshotRegistration regOptions(
    "options",
    [](TScreenshotSession& s) {
      TApplicationCore& core = s.Main().Core();
      TfrmOptionSetting frm(core.Config(), core.Dialogs(), &s.Main());
      frm.show();
      s.Save(&frm, "options");
      const std::pair<const char*, const char*> pages[] = {{"システム", "options_system"},
                                                           {"オッズ設定", "options_odds"},
                                                           {"馬券シミュレーション", "options_simulation"},
                                                           {"単勝率調整", "options_tansho_ritsu"}};
      for (const auto& [category, file] : pages) {
        frm.ShowCategory(Q(category));
        s.Save(&frm, file);
      }
      frm.reject();
    },
    40);
TScreenshotRegistration regImports(
    "import_windows",
    [](TScreenshotSession& s) {
      for (auto [variant, file] : {std::pair{TLinkVariant::Central, "jv_import"}, std::pair{TLinkVariant::Local, "nv_import"}}) {
        TfrmDataLink& w = s.Main().ImportWindows().Window(variant);
        w.show();
        s.Save(&w, file);
        // The same window after one difference import, as the user sees it when a run ends.
        w.btnExecDownloadClick();
        s.Save(&w, std::string(file) + "_after_run");
        w.hide();
      }
    },
    45);
TScreenshotRegistration regChildren(
    "mdi_children",
    [](TScreenshotSession& s) {
      SaveChild(s, "actBakenSimulationShow", kBakenSimulationName, "baken_simulation");
      SaveChild(s, "actAutoHandleShow", kAutoHandleName, "auto_handle");
      SaveChild(s, "actShushiKanriShow", kShushiKanriName, "shushi_kanri");
    },
    50);

}  // namespace

}  // namespace zelk
