#include "ui/app/placeholder_windows.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zelk {

TPlaceholderChild::TPlaceholderChild(const char* componentName, const char* caption, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QString::fromUtf8(componentName));
  setWindowTitle(QString::fromUtf8(caption));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QString::fromUtf8(caption), this);
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  resize(640, 420);
}

}  // namespace zelk
