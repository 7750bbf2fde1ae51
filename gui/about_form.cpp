// The about box.
#include "gui/about_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <functional>

#include "app/search_operations.h"
#include "gui/program_pictures.h"
#include "gui/window_lock.h"

namespace ferrowyn::gui {

namespace {
constexpr char kBrowserFailed[] = "An error occured while trying to open your web browser.";
constexpr char kNotices[] =
    "Ferrowyn! is a trademark of Castrel Software. Copyright \xa9 2026 Castrel Software.";

// A label that reads like a link: red under the pointer, a pointing hand over it.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& text, std::function<void()> click, QWidget* parent)
      : QLabel(text, parent), click_(std::move(click)) {
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    Colour(Qt::blue);
  }

 protected:
  void enterEvent(QEnterEvent* event) override {
    QLabel::enterEvent(event);
    Colour(Qt::red);
  }
  void leaveEvent(QEvent* event) override {
    QLabel::leaveEvent(event);
    Colour(Qt::blue);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click_();
  }

 private:
  void Colour(const QColor& colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
  }

  std::function<void()> click_;
};
}  // namespace

// A window of its own, not a child of the owner: disabling the owner would grey
// the box too.
Taboutform::Taboutform(UserPort& port, QWidget* owner)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      port_(port),
      owner_(owner) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("About");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QLabel* version = AddPictureAndVersion(*layout, this);
  version->setAlignment(Qt::AlignCenter);
  version->setContentsMargins(8, 6, 8, 6);

  auto* panel = new QWidget(this);
  panel->setObjectName("Panel1");
  panel->setAutoFillBackground(true);
  QPalette white = panel->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  panel->setPalette(white);
  auto* lower = new QVBoxLayout(panel);
  auto* notices = new QLabel(QString::fromLatin1(kNotices), panel);
  notices->setObjectName("notices");
  notices->setWordWrap(true);
  lower->addWidget(notices);
  auto* visit = new QHBoxLayout;
  visit->addWidget(new QLabel("Visit Castrel Software:", panel));
  auto* link = new LinkLabel(
      kMakerHomePage, [this] { LinkClick(); }, panel);
  link->setObjectName("homepage");
  visit->addWidget(link);
  visit->addStretch();
  auto* close = new QPushButton("Close", panel);
  close->setObjectName("closebtn");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  visit->addWidget(close);
  lower->addLayout(visit);
  layout->addWidget(panel);

  layout->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (QScreen* screen = owner != nullptr ? owner->screen() : this->screen())
    move(screen->availableGeometry().center() - rect().center());
}

void Taboutform::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  DisableWindowAlone(owner_);
}

void Taboutform::closeEvent(QCloseEvent* event) {
  EnableWindowAlone(owner_);
  QWidget::closeEvent(event);
}

void Taboutform::LinkClick() {
  if (!port_.OpenUrl(kMakerHomePage)) port_.Error(kBrowserFailed);
}

}  // namespace ferrowyn::gui
