// The programme guide window drawn with Qt Widgets: a tool window beside its owner with the
// logo and the day chooser above the day's programmes and a status line below them.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/GuideView.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace zelvo {

class QtGuideView : public QWidget, public GuideView {
  Q_OBJECT
 public:
  explicit QtGuideView(QWidget* owner = nullptr);
  // The window it shows beside, and above.
  void setOwner(QWidget* owner) { owner_ = owner; }

  void setTitle(const std::string& title) override;
  void setDays(const std::vector<std::string>& days, int chosen) override;
  void setRows(const std::vector<GuideRow>& rows) override;
  void setLogo(const std::string& path) override;
  void setStatus(const std::string& text) override;
  void show() override;
  void hide() override;
  bool visible() const override;

  QComboBox* dayChooser() const { return days_; }
  QTreeWidget* list() const { return list_; }
  QLabel* logo() const { return logo_; }
  QLabel* status() const { return status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<QWidget> owner_;
  QLabel* logo_;
  QComboBox* days_;
  QTreeWidget* list_;
  QLabel* status_;
  void showRunning();

  bool placed_ = false;
  QTreeWidgetItem* running_ = nullptr;
};

}  // namespace zelvo
