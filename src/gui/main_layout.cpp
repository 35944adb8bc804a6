// Where the main window's controls go. The model holds no positions: the window arranges the
// controls in rows by what they are for, and Qt's layouts size them for the screen.
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "gui/image_view.h"
#include "gui/main_window.h"
#include "gui/text.h"

namespace sorvell::gui {

namespace {

// A hex dump line: address, sixteen bytes and their characters. A log line: time and message.
// At its smallest the window shows a few lines of each, so that it fits a 1024x600 screen; it
// shows more as it grows.
constexpr int kDumpColumns = 66;
constexpr int kLogColumns = 48;
constexpr int kShownLines = 5;

constexpr const char* kOperationButtons[2][5] = {
    {"Read_button", "Blank_button", "Program_button", "Verify_button", "Display_button"},
    {"Erase_button", "EraseFlash_button", "Show_button", "Command1", "VerifyButton"}};

constexpr const char* kLamps[] = {"Ready_label", "Error_label", "Program_label", "DataFlow_label"};

// A lamp is a framed, bold caption on the text background: lit, the caption takes the lamp's
// colour; off, it fades into the button-face colour.
void StyleLamp(QLabel& lamp) {
  QFont font = lamp.font();
  font.setBold(true);
  lamp.setFont(font);
  lamp.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  lamp.setAlignment(Qt::AlignCenter);
  lamp.setBackgroundRole(QPalette::Base);
  lamp.setAutoFillBackground(true);
  lamp.setMargin(4);
  lamp.setMinimumWidth(lamp.fontMetrics().horizontalAdvance(QStringLiteral("DataFlow")) + 32);
}

}  // namespace

QWidget& MainWindow::Control(const char* name) const {
  return *view_->Widget(name);
}

void MainWindow::LayOut() {
  setMenuBar(view_->MenuBar());
  auto* toolbar = view_->As<QToolBar>("tbToolBar");
  toolbar->setMovable(false);
  addToolBar(toolbar);
  setStatusBar(view_->As<QStatusBar>("sbStatusBar"));
  // How the last operation ended stays in view at the bar's right, beside the board access.
  statusBar()->addPermanentWidget(&Control("sbOutcome"));

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->addLayout(PortRow());
  column->addLayout(OperationRow());
  column->addLayout(FileNameGrid());
  column->addWidget(&Control("ProgressBar1"));
  column->addWidget(Displays(), 1);
  setCentralWidget(central);

  for (const char* clickable : {"Error_label", "FileNameCodeText"}) {
    Control(clickable).setCursor(Qt::PointingHandCursor);
  }
}

QLayout* MainWindow::PortRow() const {
  auto& port = static_cast<QLineEdit&>(Control("PortSelected"));
  port.setMinimumWidth(port.fontMetrics().horizontalAdvance(QStringLiteral("0000h")) + 16);
  auto* row = new QHBoxLayout;
  row->addWidget(&Control("Frame2"), 3);
  row->addWidget(&Control("Frame4"), 2);
  row->addWidget(&Control("Frame9"), 2);
  return row;
}

// Operation buttons and their settings on the left, byte and voltage options in the middle,
// the lamps on the right. The automatic steps around programming sit under the buttons, one
// above the other, where the row has room for them.
QLayout* MainWindow::OperationRow() const {
  auto& autoOperations = static_cast<QGroupBox&>(Control("Frame5"));
  static_cast<QBoxLayout*>(autoOperations.layout())->setDirection(QBoxLayout::TopToBottom);
  auto* left = new QVBoxLayout;
  left->addLayout(ButtonGrid());
  left->addLayout(SpeedRow());
  left->addWidget(&autoOperations);
  left->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addLayout(left, 3);
  row->addLayout(OptionColumn(), 2);
  row->addLayout(LampGrid());
  return row;
}

QLayout* MainWindow::ButtonGrid() const {
  auto* grid = new QGridLayout;
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 5; ++column) {
      grid->addWidget(&Control(kOperationButtons[row][column]), row, column);
    }
  }
  // Beside the operations it ends, over both rows: easy to hit while a run goes wrong.
  grid->addWidget(&Control("Stop_button"), 0, 5, 2, 1);
  Control("Stop_button").setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  return grid;
}

QLayout* MainWindow::SpeedRow() const {
  auto* row = new QHBoxLayout;
  row->addWidget(&Control("CheckCode"));
  row->addWidget(&Control("CheckData"));
  row->addSpacing(24);
  row->addWidget(&Control("Label4"));
  row->addWidget(&Control("Slider1"), 1);
  return row;
}

QLayout* MainWindow::OptionColumn() const {
  auto* column = new QVBoxLayout;
  for (const char* frame : {"Frame10", "FrameVoltageSelection"}) {
    column->addWidget(&Control(frame));
  }
  column->addStretch(1);
  return column;
}

QLayout* MainWindow::LampGrid() const {
  auto* grid = new QGridLayout;
  for (int i = 0; i < 4; ++i) {
    auto& lamp = static_cast<QLabel&>(Control(kLamps[i]));
    StyleLamp(lamp);
    grid->addWidget(&lamp, i / 2, i % 2);
  }
  grid->setRowStretch(2, 1);
  return grid;
}

QLayout* MainWindow::FileNameGrid() const {
  auto* grid = new QGridLayout;
  const char* rows[2][3] = {{"FileNameCodeLabel", "FileNameCodeText", "FileNameCodeSize"},
                            {"FileNameDataLabel", "FileNameDataText", "FileNameDataSize"}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      grid->addWidget(&Control(rows[row][column]), row, column);
    }
  }
  grid->setColumnStretch(3, 1);  // the size follows the name
  return grid;
}

// The log and the buffer's hex display share the rest of the height, side by side.
QSplitter* MainWindow::Displays() {
  auto* dump = static_cast<QPlainTextEdit*>(&Control("BufferDisplay"));
  dump->setLineWrapMode(QPlainTextEdit::NoWrap);
  FitText(*dump, kDumpColumns, kShownLines);
  FitText(static_cast<QPlainTextEdit&>(Control("SystemLog")), kLogColumns, kShownLines);
  Control("Frame3").layout()->addWidget(DumpPages());
  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(&Control("Frame6"));
  splitter->addWidget(&Control("Frame3"));
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->setChildrenCollapsible(false);
  return splitter;
}

// The dump's frame shows the whole code image in one view while the dump shows the code buffer,
// and the model's text with its page scroll bar while it shows the device, the data memory or a
// message: the view's own scroll bar covers the image.
QWidget* MainWindow::DumpPages() {
  QLayout& frame = *Control("Frame3").layout();
  dumpText_ = new QWidget;
  auto* row = new QHBoxLayout(dumpText_);
  row->setContentsMargins(0, 0, 0, 0);
  for (const char* name : {"BufferDisplay", "VScroll1"}) {
    frame.removeWidget(&Control(name));
    row->addWidget(&Control(name));
  }
  row->setStretchFactor(&Control("BufferDisplay"), 1);
  imageView_ = new ImageView(model_);
  imageView_->afterEvent = [this] { FollowModel(); };
  dumpPages_ = new QStackedWidget;
  dumpPages_->addWidget(dumpText_);
  dumpPages_->addWidget(imageView_);
  return dumpPages_;
}

void MainWindow::FollowModel() {
  setWindowTitle(ToQt(model_.frmMain.Caption()));
  dumpPages_->setCurrentWidget(model_.view.ShowsCodeBuffer() ? static_cast<QWidget*>(imageView_)
                                                             : dumpText_);
  imageView_->Follow();
}

}  // namespace sorvell::gui
