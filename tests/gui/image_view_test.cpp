// The code image's view in the window: one scrolling dump over the whole image, a cursor that
// go-to and find move, bytes typed over it that reach the model as undoable changes, and the
// bytes of the last compare marked.
#include <QAction>
#include <QImage>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "buffers/dump.h"
#include "gui/colors.h"
#include "gui/form_view.h"
#include "gui/image_view.h"
#include "gui_fixture.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"

namespace sorvell::gui::testing {
namespace {

constexpr std::int32_t kImageBytes = 32768;

std::uint8_t Pattern(std::int32_t address) {
  return static_cast<std::uint8_t>(address * 7 + (address >> 8));
}

class ImageViewTest : public GuiTest {
 protected:
  // Loads a 32 KB file into the code buffer as File > Open does, then lets the window follow.
  void StartWith32KImage() {
    Start();
    const std::filesystem::path file = workDir / "image.bin";
    std::ofstream out(file, std::ios::binary);
    for (std::int32_t address = 0; address < kImageBytes; ++address) out.put(Pattern(address));
    out.close();
    model->buffers.CodeFileName = file.string();
    ASSERT_TRUE(model->images.ReadBinaryFile());
    window->View().afterEvent();
  }
  ImageView& View() { return Widget<ImageView>("ImageView"); }
  void Menu(const char* entry) { window->View().Action(entry)->trigger(); }
  void GoTo(const std::string& address) {
    dialogs.inputs = {address};
    Menu("mnuImageGoTo");
  }
  bool InSight(std::int32_t address) {
    const int line = address / 16;
    return line >= View().TopLine() && line < View().TopLine() + View().ShownLines();
  }
  // Most of a marked cell shows the marked ground; the glyph covers the rest.
  bool Marked(std::int32_t address, bool characters) {
    const QImage shot = View().viewport()->grab().toImage();
    const QRect cell = View().ByteCell(address, characters);
    int marked = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x)
        marked += shot.pixelColor(x, y) == kMarkedGround;
    }
    return 2 * marked > cell.width() * cell.height();
  }
  std::uint8_t Byte(std::int32_t address) {
    return model->buffers.CodeBuffer[static_cast<std::size_t>(address)];
  }
};

TEST_F(ImageViewTest, TheViewCoversTheWholeImageInPlaceOfThePageDump) {
  StartWith32KImage();
  EXPECT_EQ(qobject_cast<QStackedWidget*>(View().parentWidget())->currentWidget(), &View());
  EXPECT_FALSE(Widget<QWidget>("VScroll1").isVisible());
  const QScrollBar& bar = *View().verticalScrollBar();
  EXPECT_EQ(bar.maximum() + bar.pageStep(), 2048);
  std::uint8_t last[16];
  for (int i = 0; i < 16; ++i) last[i] = Pattern(0x7FF0 + i);
  EXPECT_EQ(View().LineText(2047).toStdString(),
            buffers::DumpLine(0x7FF0, last, buffers::AsciiRule::kBuffer));
  // The page text in the model is what it always was.
  EXPECT_TRUE(Model("BufferDisplay").Caption().starts_with("\r\n000000| 00070E15"));
}

// Each go-to moves the cursor and brings its line into sight; going to the same byte again after
// scrolling away brings it back.
TEST_F(ImageViewTest, GoToPutsTheCursorOnTheByteInSight) {
  StartWith32KImage();
  for (const auto& [typed, address] :
       {std::pair{"7FF3", 0x7FF3}, {"5", 0x0005}, {"4321", 0x4321}, {"4321", 0x4321}}) {
    GoTo(typed);
    EXPECT_EQ(View().Cursor(), address) << typed;
    EXPECT_TRUE(InSight(address)) << typed;
    View().verticalScrollBar()->setValue(0);
  }
  QTest::keyClick(&View(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(View().Cursor(), kImageBytes - 1);
  EXPECT_TRUE(InSight(kImageBytes - 1));
  QTest::keyClick(&View(), Qt::Key_PageUp);
  EXPECT_EQ(View().Cursor(), kImageBytes - 1 - 16 * View().ShownLines());
  QTest::keyClick(&View(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(View().Cursor(), 0);
  EXPECT_EQ(View().TopLine(), 0);
}

TEST_F(ImageViewTest, TypedHexDigitsChangeTheByteUndoablyAndTheTitleTellsIt) {
  StartWith32KImage();
  const QString title = window->windowTitle();
  GoTo("100");
  QTest::keyClicks(&View(), "A");
  EXPECT_EQ(Byte(0x100), Pattern(0x100)) << "half a byte is not typed yet";
  QTest::keyClicks(&View(), "xG9");  // not hex digits: ignored
  EXPECT_EQ(Byte(0x100), 0xA9);
  EXPECT_EQ(View().Cursor(), 0x101);
  EXPECT_TRUE(window->windowTitle().endsWith(" - image changed"))
      << window->windowTitle().toStdString();
  Menu("mnuImageUndo");
  EXPECT_EQ(Byte(0x100), Pattern(0x100));
  EXPECT_EQ(window->windowTitle(), title);
}

// A click places the cursor in the column clicked; Tab switches columns; printable characters
// typed in the character column become their bytes.
TEST_F(ImageViewTest, ClicksTabAndTheCharacterColumn) {
  StartWith32KImage();
  QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, View().ByteCell(0x23, true).center());
  EXPECT_EQ(View().Cursor(), 0x23);
  EXPECT_TRUE(View().CursorInCharacters());
  QTest::keyClicks(&View(), "Hi!");
  EXPECT_EQ((std::vector{Byte(0x23), Byte(0x24), Byte(0x25)}),
            (std::vector<std::uint8_t>{'H', 'i', '!'}));
  QTest::keyClick(&View(), Qt::Key_Tab);
  EXPECT_FALSE(View().CursorInCharacters());
  QTest::keyClicks(&View(), "0d");
  EXPECT_EQ(Byte(0x26), 0x0D);
  QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, View().ByteCell(0x31, false).center());
  EXPECT_EQ(View().Cursor(), 0x31);
  EXPECT_FALSE(View().CursorInCharacters());
}

// As the page dump did, a double click saves a page to SORVELL.BUF: the page clicked.
TEST_F(ImageViewTest, ADoubleClickSavesThePageClicked) {
  StartWith32KImage();
  GoTo("4321");
  const int top = View().TopLine();
  QTest::mouseDClick(View().viewport(), Qt::LeftButton, {},
                     View().ByteCell(0x4321, false).center());
  std::stringstream saved;
  saved << std::ifstream(workDir / "SORVELL.BUF").rdbuf();
  EXPECT_NE(saved.str().find("\r\n004300| "), std::string::npos);
  EXPECT_EQ(View().TopLine(), top);
}

// Next Difference brings the page of the next differing byte into the view, the byte marked.
TEST_F(ImageViewTest, DifferingBytesAreMarked) {
  StartWith32KImage();
  model->buffers.DifferingAddresses = {0x7F05};
  Menu("menuNextDifference");
  EXPECT_TRUE(InSight(0x7F05));
  EXPECT_TRUE(Marked(0x7F05, false));
  EXPECT_TRUE(Marked(0x7F05, true));
  EXPECT_FALSE(Marked(0x7F04, false));
  EXPECT_FALSE(Marked(0x7F04, true));
}

// The live device display and its page scroll bar take the frame, and Show brings the image
// back. The image may be what a run burns: keys pressed over the view while it runs type nothing,
// not even half a byte that a digit after the run would complete.
TEST_F(ImageViewTest, TheDeviceDisplayAndRunsKeepTheImageViewOut) {
  StartWith32KImage();
  SelectA27C256();
  Widget<QAbstractButton>("Display_button").click();
  EXPECT_TRUE(Widget<QWidget>("VScroll1").isVisible());
  EXPECT_FALSE(View().isVisible());
  Widget<QAbstractButton>("Show_button").click();
  EXPECT_TRUE(View().isVisible());

  model->SetValue("CheckBlankPriorProgramming", 0);
  model->SetValue("VerifyAfterProgramming", 0);
  window->RunControl().SetInterval(std::chrono::milliseconds(0));
  QTimer::singleShot(0, window.get(), [this] {
    QTest::keyClicks(&View(), "5");
    Widget<QAbstractButton>("Stop_button").click();
  });
  Widget<QAbstractButton>("Program_button").click();
  EXPECT_EQ(model->OperationsStopped(), 1) << "the key came after the run";
  EXPECT_EQ(Byte(0), Pattern(0));
  QTest::keyClicks(&View(), "A9");
  EXPECT_EQ(Byte(0), 0xA9);
}

}  // namespace
}  // namespace sorvell::gui::testing
