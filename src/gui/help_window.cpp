#include "gui/help_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHelpContentItem>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QImage>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace sorvell::gui {

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 640;
// What is left free around the window on a screen smaller than it: the frame and the panel.
constexpr int kScreenMargin = 48;
constexpr const char* kFirstPage = "doc/index.html";

// Where `frame` lies inside `room` after the least move (at its top left when it is larger).
QPoint Inside(QRect frame, const QRect& room) {
  frame.moveRight(std::min(frame.right(), room.right()));
  frame.moveBottom(std::min(frame.bottom(), room.bottom()));
  frame.moveLeft(std::max(frame.left(), room.left()));
  frame.moveTop(std::max(frame.top(), room.top()));
  return frame.topLeft();
}

}  // namespace

HelpBrowser::HelpBrowser(QHelpEngine& engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  if (name.scheme() != QLatin1String("qthelp")) return QTextBrowser::loadResource(type, name);
  const QByteArray file = engine_.fileData(name);
  if (type == QTextDocument::ImageResource) return FittedImage(file);
  return file;
}

// The browser takes no CSS max-width: a screenshot wider than the page would need a sideways
// scroll, so it is scaled to the page as it is loaded.
QVariant HelpBrowser::FittedImage(const QByteArray& file) const {
  QImage image = QImage::fromData(file);
  const int room = viewport()->width() - 2 * static_cast<int>(document()->documentMargin());
  if (image.isNull() || room <= 0 || image.width() <= room) return image;
  return image.scaledToWidth(room, Qt::SmoothTransformation);
}

HelpWindow::HelpWindow(const QString& cacheFolder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      engine_(new QHelpEngine(QDir(cacheFolder).filePath(QStringLiteral("sorvell.qhc")), this)),
      browser_(new HelpBrowser(*engine_, this)),
      tabs_(new QTabWidget(this)),
      searchTab_(new QWidget(this)) {
  QDir().mkpath(cacheFolder);
  // The collection is the window's own, so it may register the manual and keep its index.
  engine_->setReadOnly(false);
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Sorvell Help"));
  resize(kWidth, kHeight);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  // The browser would hand qthelp:// links to the desktop, which knows nothing of them: every
  // link comes here, and only those that leave the manual go to the desktop.
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
  LayOut();
  // The search engine would also update its index by itself once the collection is set up; that
  // run and the full one Load starts would cancel each other, and the first to finish would
  // announce an index still being rebuilt. Load's run is the only one.
  QObject::disconnect(engine_, SIGNAL(setupFinished()), engine_->searchEngine(), nullptr);
}

HelpWindow::~HelpWindow() {
  if (indexing_) engine_->searchEngine()->cancelIndexing();
}

void HelpWindow::LayOut() {
  QHelpSearchEngine* search = engine_->searchEngine();
  auto* query = search->queryWidget();
  auto* results = search->resultWidget();
  auto* searchLayout = new QVBoxLayout(searchTab_);
  searchLayout->setContentsMargins(0, 0, 0, 0);
  searchLayout->addWidget(query);
  searchLayout->addWidget(results, 1);
  connect(query, &QHelpSearchQueryWidget::search, this,
          [search, query] { search->search(query->searchInput()); });
  connect(results, &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::Open);
  connect(search, &QHelpSearchEngine::indexingFinished, this, [this] { indexing_ = false; });

  QHelpContentWidget* contents = engine_->contentWidget();
  contents->setObjectName(QStringLiteral("HelpContents"));
  connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::Open);
  // One click on an entry opens its page, as in a web page's table of contents.
  connect(contents, &QTreeView::clicked, this, &HelpWindow::OpenContentsEntry);
  tabs_->addTab(contents, QStringLiteral("&Contents"));
  tabs_->addTab(searchTab_, QStringLiteral("&Search"));

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);
}

std::optional<QString> HelpWindow::Load(const QString& helpFile) {
  if (!engine_->setupData())
    return QStringLiteral("The help collection cannot be set up: %1").arg(engine_->error());
  const QString name = QHelpEngineCore::namespaceName(helpFile);
  if (name.isEmpty()) return QStringLiteral("%1 is not a readable help file.").arg(helpFile);
  // A help file rebuilt or moved since the last run replaces the one registered then.
  if (engine_->registeredDocumentations().contains(name) &&
      engine_->documentationFileName(name) != helpFile) {
    engine_->unregisterDocumentation(name);
  }
  if (!engine_->registeredDocumentations().contains(name) &&
      !engine_->registerDocumentation(helpFile)) {
    return QStringLiteral("%1 cannot be registered: %2").arg(helpFile, engine_->error());
  }
  namespace_ = name;
  indexing_ = true;
  engine_->searchEngine()->reindexDocumentation();
  if (browser_->source().isEmpty()) Open(HomePage());
  return std::nullopt;
}

QUrl HelpWindow::HomePage() const {
  return QUrl(QStringLiteral("qthelp://%1/%2").arg(namespace_, QLatin1String(kFirstPage)));
}

void HelpWindow::Open(const QUrl& page) {
  browser_->setSource(page);
}

void HelpWindow::FollowLink(const QUrl& link) {
  if (link.scheme() == QLatin1String("qthelp")) {
    Open(link);
  } else {
    QDesktopServices::openUrl(link);
  }
}

void HelpWindow::OpenContentsEntry(const QModelIndex& entry) {
  if (const QHelpContentItem* item = engine_->contentModel()->contentItemAt(entry)) {
    Open(item->url());
  }
}

// The first time it is shown: no larger than the screen's free area, and centred over the main
// window (or the screen) without leaving that area.
void HelpWindow::ShowOnScreen() {
  if (placed_) return;
  placed_ = true;
  QWidget* owner = parentWidget();
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect room = screen->availableGeometry();
  const QSize margin(kScreenMargin, kScreenMargin);
  resize(QSize(kWidth, kHeight).boundedTo(room.size() - margin));
  QRect frame(QPoint(), size());
  frame.moveCenter(owner ? owner->frameGeometry().center() : room.center());
  move(Inside(frame, room));
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowOnScreen();
  show();
  raise();
  activateWindow();
}

void HelpWindow::ShowSearch() {
  tabs_->setCurrentWidget(searchTab_);
  ShowOnScreen();
  show();
  raise();
  activateWindow();
  engine_->searchEngine()->queryWidget()->setFocus();
}

void HelpWindow::Search(const QString& words) {
  QHelpSearchQueryWidget* query = engine_->searchEngine()->queryWidget();
  query->setSearchInput(words);
  engine_->searchEngine()->search(words);
}

}  // namespace sorvell::gui
