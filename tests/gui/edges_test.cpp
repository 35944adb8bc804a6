#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <fstream>

#include "gui/qt_dialogs.h"
#include "gui/qt_settings_store.h"
#include "gui/qt_sound_player.h"

namespace sorvell::gui {
namespace {

TEST(FileFilterTest, PairsBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter("Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"),
            "Binary Files (*.bin);;All Files (*)");
  // The pattern list decides what is shown, whatever the description says.
  EXPECT_EQ(QtFileFilter("Images|*.bin;*.hex"), "Images (*.bin *.hex)");
  EXPECT_EQ(QtFileFilter("Old (*.rom)|*.bin"), "Old (*.bin)");
  EXPECT_EQ(QtFileFilter(""), "");
  EXPECT_EQ(QtFileFilter("Dangling description"), "");
}

TEST(SettingsStoreTest, ValuesRoundTripAsTextUnderTheirSection) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  {
    QtSettingsStore store;
    EXPECT_EQ(store.Get("Settings", "MainWidth"), std::nullopt);
    store.Set("Settings", "MainWidth", "1500.5");
    store.Set("Setup1", "Device", "27C256 (32K x 8)");
  }
  QtSettingsStore reopened;
  EXPECT_EQ(reopened.Get("Settings", "MainWidth"), "1500.5");
  EXPECT_EQ(reopened.Get("Setup1", "Device"), "27C256 (32K x 8)");
  EXPECT_EQ(reopened.Get("Setup1", "MainWidth"), std::nullopt);
  QSettings raw(QStringLiteral("Sorvell"), QStringLiteral("Sorvell"));
  EXPECT_EQ(raw.value(QStringLiteral("Settings/MainWidth")).toString(), "1500.5");
}

// Sounds are a courtesy: nothing to play, or nothing to play on, must stay silent.
TEST(SoundPlayerTest, SaysNothingWhenItCannotPlay) {
  static QStringList said;
  said.clear();
  const auto previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { said << text; });
  QTemporaryDir folder;
  const std::filesystem::path wave = folder.filePath(QStringLiteral("empty.wav")).toStdString();
  std::ofstream(wave) << "not a sound";
  {
    QtSoundPlayer player;
    player.Play(std::filesystem::path(folder.path().toStdString()) / "missing.wav");
    player.Play(wave);
    player.Play(wave);
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(said.isEmpty()) << said.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace sorvell::gui
