#pragma once

#include <QMainWindow>
#include <QModelIndex>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/background_save.h"
#include "app/host.h"
#include "app/secondary_windows.h"
#include "codecs/gif/gif_codec.h"
#include "convert/xcursor_conversion.h"
#include "fieldview/apply.h"
#include "fieldview/listing.h"
#include "gfx/image.h"
#include "history/edit_history.h"
#include "model/document.h"
#include "preview/animation_player.h"
#include "preview/zoom.h"
#include "sound/playback.h"
#include "wave/sample_selection.h"
#include "widgets/message_log.h"
#include "widgets/settings.h"

class QAction;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QHeaderView;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QSlider;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTimer;
class QTreeView;

namespace delvix::platform {
class QtStepTimer;
}

namespace delvix::edit {
struct ModuleEdit;
struct ModuleEditSettings;
}  // namespace delvix::edit

namespace delvix::app {

class CommandMessages;
class MessagesWindow;
class PictureBox;
class PixelMarker;
class FieldTableModel;
class HelpWindow;
class ThumbnailModel;
class WaveView;
class TreeModel;

// The main window: the structure tree of the open file, its fields, its pictures or its wave, and every command.
class TFormANI : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormANI(Host host, QWidget* parent = nullptr);
  ~TFormANI() override;

  void setSecondaryWindows(const SecondaryWindows& windows);
  // Shows the window in the state it was left in: maximised or at its stored size.
  void showAsStored();
  // The open command after its dialog: what the quick-info browsers, the command line and a drop use.
  void openFile(const QString& fileName);
  // The same for a path as the file system gives it (its name need not be valid UTF-8).
  void openPath(const std::filesystem::path& file);

  const model::Document& document() const { return document_; }
  const MessageLog& messageLog() const { return log_; }
  Settings& settings() { return settings_; }
  int currentPictureIndex() const { return currentPictureIndex_; }
  int zoomFactor() const { return zoom_; }
  // The shown picture at natural size, plainly and through its alpha channel (empty when it has none).
  const gfx::Image& frameBitmap() const { return frameBitmap_; }
  const gfx::Image& alphaFrameBitmap() const { return alphaFrameBitmap_; }
  // Bits per pixel of the shown picture, as its thumbnail row gives them.
  int shownBitCount() const { return shownBitCount_; }
  const codecs::gif::Settings& gifSettings() const { return gifSettings_; }
  const preview::AnimationPlayer& player() const { return *player_; }
  fieldview::EditMode editMode() const { return editMode_; }
  // How often the selected node's fields were listed again after the options changed.
  int fieldRelistings() const { return fieldRelistings_; }
  // Marks pixel (x, y) of the shown picture (natural size, y from the top) over both views.
  void selectPixel(int x, int y);
  // The extension of the open file as it was typed, with its dot.
  const std::string& openExtension() const { return extension_; }
  const history::EditHistory& editHistory() const { return history_; }
  // Asks whether the changes are saved first when the document has any: true when they were saved or the
  // user let them go, false when the action that would lose them is to stop.
  bool maybeSaveChanges();
  // The desktop session is ending: true when it may, after asking about unsaved changes when `mayAsk`.
  bool sessionMayEnd(bool mayAsk);

 public slots:
  // File
  void ButLoadClick();
  void ToolButton6Click();
  void ToolButton7Click();
  // File > Check Cursor Theme: asks for a theme folder and shows what a check of it finds.
  void CheckThemeClick();
  void ButSaveAllClick();
  void ButSaveClick();
  // File > Save animation: the animated cursor's steps as an animated GIF or PNG.
  void SaveAnimationClick();
  // Saves to the open file when its kind can be written there, else asks for a name; true when saved.
  bool SaveDocumentClick();
  void UndoClick();
  void RedoClick();
  void AlphaBlendingClick();
  void ScalingClick();
  void Exit1Click();
  // Edit
  void ButCopyClick();
  void ButPlusClick();
  void ButMinusClick();
  void ToolButton5Click();
  // View
  void MessagesClick();
  void ShowHotSpotClick(bool shown);
  // Help
  void ButHelpClick();
  void TipOfDayClick();
  void ButAboutClick();
  // Structure tree
  void TreeView1Change(const QModelIndex& current);
  void TreeView1Collapsed(const QModelIndex& index);
  void TreeView1Expanded(const QModelIndex& index);
  void TreeView1KeyPress(QKeyEvent* event);
  // A module's resources: replaced by a file, removed, or an icon group added.
  void ReplaceResourceClick();
  void RemoveResourceClick();
  void AddIconGroupClick();
  // Field table and its edit strip
  void ListView1SelectItem();
  void ButAddClick();
  void ButRemoveClick();
  void ButApplyClick();
  void ButNextClick();
  void ButPrevClick();
  // Preview, player and thumbnails
  void ButUpClick();
  void ButDownClick();
  void ButStartClick();
  void ButPauseClick();
  void ButStopClick();
  void ButForwardClick();
  void ButBackClick();
  void ListPreviewSelectItem(const QModelIndex& current);
  // Wave view
  void BStopPlayClick();
  void BRunPlayClick();
  void BDeleteClick();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The message that the help could not be shown, with where its pages are.
  void showHelpFailure(const std::filesystem::path& page);
  // Building the window (main_window_layout.cpp, main_window_commands.cpp).
  void createCommands();
  void createMenus();
  void createViewMenu();
  void createToolBar();
  QWidget* createTreeGroup();
  QWidget* createFieldGroup();
  QWidget* createImageGroup();
  QWidget* createMusicGroup();
  void createStatusBar();
  void applyStoredLayout();
  void applyPaneSizes();
  Settings settingsToStore() const;

  // The open command (main_window_open.cpp).
  void resetViews(const std::filesystem::path& path);
  // The status bar's folder and name panels show `path`.
  void showFileName(const std::filesystem::path& path);
  bool readIntoDocument(const std::filesystem::path& path, model::FileKind kind);
  void showViews();
  void openAnimatedCursor(const std::filesystem::path& path);
  void openIconFile(const std::filesystem::path& path);
  void openWave(const std::filesystem::path& path);
  void openModule(const std::filesystem::path& path);
  void openXcursor(const std::filesystem::path& path);
  void setThumbnailColumns(model::FileKind kind);
  // Widens the thumbnail list's columns to what they show.
  void fitThumbnailColumns();
  void enableZoom();
  void enableSaveAllAndAdd(bool enabled, const char* saveHint);
  void selectFirstPicture();
  void showModuleCounters(bool visible);

  // Tree and thumbnails (main_window_tree.cpp).
  void selectPictureThumbnail(int index);
  void attachHandlers(bool thumbnails);
  void detachHandlers();

  // The preview (main_window_preview.cpp).
  void showPicture(int index);
  bool renderPicture(int index);
  void applyPreviewLayout(const preview::PreviewLayout& layout);
  void placePixelMarkers();
  void hidePixelMarkers();
  void zoomBy(int step);
  // Marks the hot spot of picture `index` on both views, when it has one and View > Show hot spot is on.
  void showHotSpot(int index);
  void enableBlendToggles();
  void clearFieldView();

  // The wave view (main_window_wave.cpp).
  // Channels, red lines and buttons for the document's sound, after it was read or cut.
  void prepareWaveView();
  // Nothing of a wave shown, before a file is read.
  void clearWaveView();
  void setWaveIdleButtons();
  void stopSound();
  // Plays `range` of the sound, decoded and mixed down to what the output takes; `stop` is the button that
  // stops it.
  void playSound(const sound::PlayRange& range, QToolButton* stop);
  void playChannel(int channel);
  void saveChannel(int channel);
  void waveFrameClicked(std::uint64_t frame);
  // The time panel and the zoom buttons, after the view moved.
  void waveViewMoved();
  void movePlayCursor();
  void waveError(const std::string& text);

  // The player (main_window_player.cpp).
  class PlayerScreen;
  void showPlayerFrame(std::optional<std::size_t> frame);
  void selectPictureFromPlayer(std::size_t frame);
  void enablePlayerButtons(const preview::PlayerButtons& buttons);
  void stopPlayer();

  // The edit history (main_window_history.cpp).
  void createHistoryCommands();
  void updateHistoryCommands();
  void updateTitle();
  void replayStep(bool forwards);
  // Shows again what an undo or a redo changed.
  void showReplayed(const history::Replayed& replayed);
  std::string applyStepName(const model::Node& node, std::optional<std::size_t> row, bool infoItem) const;

  // Saving and copying (main_window_save.cpp).
  // Asks for a name and saves the whole document (or a module's group) there; true when saved.
  bool saveDocumentAs();
  // Writes the whole document to `target`; true when it is all there. A document saved as itself is clean.
  bool writeDocument(const std::filesystem::path& target);
  bool canSaveInPlace() const;
  // Runs a save of a wave file off the window's thread (see runSaveInBackground); the window stays shut
  // meanwhile. `work` gets what it needs up front, as the document is not to be read from another thread.
  // Writes a document converted to the other cursor format; the saved file is then opened.
  bool saveConverted(const std::optional<convert::WindowsCursor>& cursor, const std::filesystem::path& target,
                     const std::string& extension, formats::Reporter& reporter);
  bool saveConverted(const std::optional<formats::xcursor::XcursorFile>& file, const std::filesystem::path& target,
                     formats::Reporter& reporter);
  bool saveInBackground(const std::filesystem::path& target, SaveWork work, formats::Reporter& reporter);
  // The document is now the file it was saved as: the title and the status bar name it, and it is clean.
  void adoptSavedFile(const std::filesystem::path& target);
  // The picture that Save frame and Copy frame take, as the two toggles choose; empty when there is none.
  gfx::Image framePicture(bool alpha);
  void exportPicture(const std::filesystem::path& target, bool alpha);
  void writeExport(const std::filesystem::path& target, const gfx::Image& picture, int format);
  void writeOwnPixels(const std::filesystem::path& target);
  void writeGifExport();

  // The field table (main_window_fields.cpp).
  void listSelectedNode(const model::Node& node);
  void showListing(const fieldview::Listing& listing);
  QLineEdit* editBoxOf(fieldview::EditBox box) const;
  // The field-table column limits: the "data" table widens them for the rest of the run.
  void setFieldColumnLimits(const fieldview::Listing& listing);
  void keepFieldColumnInLimits(int column, int oldWidth, int newWidth);
  // The zero-based row selected in the field table.
  std::optional<std::size_t> selectedFieldRow() const;
  model::Node* selectedTreeNode() const;
  void showApplyResult(const fieldview::ApplyResult& result, model::Node& node);
  // Pixel pages (main_window_pixels.cpp).
  void showPixelPage(model::Node& colourBitmap, std::size_t page);
  void selectPixelRow(const model::Node& node, std::size_t row);
  void pickPixel(QObject* box, const QPoint& position);
  // EditColor and EditMask take 0 and 1 only: any other character typed becomes a 1.
  bool filterBitKey(QObject* watched, QEvent* event);

  // Adding and removing chunks (main_window_chunks.cpp).
  void chunkDialogFinished(int result);
  void addFromChunkDialog();
  // Shows a node that an addition or removal left to be selected, with its fields and, for a picture node,
  // its picture.
  void selectChangedNode(const model::Node* node);
  // The player steps through what the animated cursor now holds.
  void reloadPlayer();
  // An X cursor's player plays the frames of the nominal size of picture `index`, each for its own delay.
  void loadXcursorPlayer(int index);
  void showStatusText(const std::string& text);

  // A module's resources (main_window_module.cpp).
  void createModuleCommands();
  void showTreeMenu(const QPoint& position);
  // Replace and Remove for a resource node, Add icon group for any module whose bytes are at hand.
  void updateModuleCommands();
  // Runs `change` as one step of the history; a signed module asks first whether its signature may go.
  void changeModule(const std::string& stepName,
                    const std::function<edit::ModuleEdit(const edit::ModuleEditSettings&)>& change);
  // The tree, the thumbnails and the counters after a change of the module; `select` is shown.
  void showModuleChange(const model::Node* select);
  void showModuleCounterTexts();
  // Writes the module's bytes as they are now to `target` (the safe save); true when saved.
  bool writeModule(const std::filesystem::path& target);
  bool moduleChanged() const;

  // Keys (main_window_keys.cpp) and File > Open Recent (main_window_recent.cpp).
  void createKeys();
  // The boxes of the edit strip, where Enter applies.
  bool isValueBox(const QObject* watched) const;
  // Ctrl+C in the field table copies the selected row, not the frame.
  bool copyFieldRow(QObject* watched, QEvent* event);
  QMenu* createRecentMenu();
  void showRecentFiles();
  void rememberRecentFile(const std::filesystem::path& file);
  void openRecentFile(const std::filesystem::path& file);
  void ClearRecentClick();

  // Options (main_window_options.cpp).
  void applyOptions();
  void listSelectedNodeFields();

  void report(const std::string& text);
  // Shows a quick-info browser and brings it to the front.
  void showBrowser(QWidget* browser);
  void showTipOfDay();

  Host host_;
  SecondaryWindows windows_;
  HelpWindow* helpWindow_ = nullptr;          // made when first needed; a child of the window
  MessagesWindow* messagesWindow_ = nullptr;  // the same
  // The messages of the command under way (an open, a save), shown as one box when it ends.
  CommandMessages* commandMessages_ = nullptr;
  // A save runs on another thread: the window is not closed until it ends.
  bool saving_ = false;
  MessageLog log_;
  Settings settings_;
  model::Document document_;
  history::EditHistory history_;
  std::string folder_;
  std::string extension_;
  int currentPictureIndex_ = 0;
  // The last save wrote the document converted to another format.
  bool converted_ = false;
  // The nominal size whose frames an X cursor's player holds.
  std::optional<std::uint32_t> playerNominalSize_;
  int zoom_ = 1;
  gfx::Image frameBitmap_;
  // The status bar tells why the picture on show could not be drawn, in place of the document's text.
  bool statusShowsDrawingProblem_ = false;
  gfx::Image alphaFrameBitmap_;
  int shownBitCount_ = 0;
  bool alphaShown_ = false;
  preview::PreviewLayout previewLayout_;
  std::optional<std::pair<int, int>> selectedPixel_;
  int hotSpotPicture_ = -1;  // the picture whose hot spot the views mark
  std::unique_ptr<platform::QtStepTimer> stepTimer_;
  std::unique_ptr<PlayerScreen> playerScreen_;
  std::unique_ptr<preview::AnimationPlayer> player_;
  bool treeHandlerAttached_ = false;
  bool thumbnailHandlerAttached_ = false;
  bool shown_ = false;
  bool panesAwaitMaximised_ = false;  // the stored pane sizes are for the maximised window, which is still to come
  int fieldRelistings_ = 0;
  fieldview::EditMode editMode_ = fieldview::EditMode::none;
  std::array<std::pair<int, int>, 2> fieldColumnLimits_{{{50, 160}, {10, 110}}};
  std::size_t pixelPage_ = 0;
  wave::SampleSelection selection_;
  std::uint64_t waveFrames_ = 0;
  bool waveDrawn_ = false;                     // the samples could be read
  std::uint64_t playFirst_ = 0, playEnd_ = 0;  // the frames that play, for the play cursor
  QTimer* playCursorTimer_ = nullptr;
  codecs::gif::Settings gifSettings_;
  std::filesystem::path gifTarget_;
  gfx::Image gifPicture_;

  struct ColumnLimits {
    int minimum, width, maximum;
  };
  std::array<ColumnLimits, 3> thumbnailColumns_{};

  TreeModel* treeModel_ = nullptr;
  ThumbnailModel* thumbnailModel_ = nullptr;
  FieldTableModel* fieldModel_ = nullptr;

  // Commands.
  QAction* Open2 = nullptr;
  QAction* QuickInfoImages1 = nullptr;
  QAction* QuickInfoWav1 = nullptr;
  QAction* CheckTheme1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Saveall1 = nullptr;
  QAction* SaveFrameBlit = nullptr;
  QAction* SaveAnimation1 = nullptr;
  QAction* AlphaBlending2 = nullptr;
  QAction* Scaling2 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Addchunk1 = nullptr;
  QAction* Removechunk1 = nullptr;
  QAction* ReplaceResource1 = nullptr;
  QAction* RemoveResource1 = nullptr;
  QAction* AddIconGroup1 = nullptr;
  QAction* Options1 = nullptr;
  QAction* Messages1 = nullptr;
  QAction* ShowHotSpot1 = nullptr;
  QAction* Content1 = nullptr;
  QAction* TipOfDay1 = nullptr;
  QAction* About1 = nullptr;
  QMenu* PopupBlend = nullptr;
  QAction* SaveBlitting = nullptr;
  QAction* CopyBlitting1 = nullptr;
  QAction* AlphaBlending = nullptr;
  QAction* Scaling = nullptr;
  QAction* ZoomIn1 = nullptr;
  QAction* ZoomOut1 = nullptr;
  QMenu* OpenRecent1 = nullptr;
  QAction* ClearRecent1 = nullptr;

  QToolBar* ToolBar1 = nullptr;
  QToolButton* ButLoad = nullptr;
  QToolButton* ToolButton6 = nullptr;
  QToolButton* ToolButton7 = nullptr;
  QToolButton* ButSaveAll = nullptr;
  QToolButton* ButSave = nullptr;
  QToolButton* ButCopy = nullptr;
  QToolButton* ButPlus = nullptr;
  QToolButton* ButMinus = nullptr;
  QToolButton* ToolButton5 = nullptr;
  QToolButton* ButHelp = nullptr;
  QToolButton* ButAbout = nullptr;

  // Layout.
  QSplitter* mainSplitter_ = nullptr;
  QSplitter* imageSplitter_ = nullptr;
  QSplitter* statusSplitter_ = nullptr;
  QStackedWidget* PanelRight = nullptr;

  // Structure tree.
  QGroupBox* GroupBox1 = nullptr;
  QTreeView* TreeView1 = nullptr;

  // Field table and edit strip.
  QGroupBox* GroupBox4 = nullptr;
  QTreeView* ListView1 = nullptr;
  QHBoxLayout* editRow_ = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* EditInfo = nullptr;
  QLineEdit* EditR = nullptr;
  QLineEdit* EditG = nullptr;
  QLineEdit* EditB = nullptr;
  QLineEdit* EditRes = nullptr;
  QLineEdit* EditMask1 = nullptr;
  QLineEdit* EditMask2 = nullptr;
  QLineEdit* EditColor = nullptr;
  QLineEdit* EditMask = nullptr;
  QPushButton* ButAdd = nullptr;
  QPushButton* ButRemove = nullptr;
  QPushButton* ButApply = nullptr;
  QPushButton* ButNext = nullptr;
  QPushButton* ButPrev = nullptr;

  // Pictures.
  QGroupBox* GroupImage = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QToolButton* ButUp = nullptr;
  QToolButton* ButDown = nullptr;
  QLabel* Panel16 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QWidget* previewCanvas_ = nullptr;
  PictureBox* PreviewBox = nullptr;
  PictureBox* PaintAlpha = nullptr;
  PixelMarker* ShapeBlitting = nullptr;
  PixelMarker* ShapeAlpha = nullptr;
  QToolBar* ToolBar4 = nullptr;
  QToolButton* ButStart = nullptr;
  QToolButton* ButPause = nullptr;
  QToolButton* ButStop = nullptr;
  QToolButton* ButForward = nullptr;
  QToolButton* ButBack = nullptr;
  QTreeView* ListPreview = nullptr;

  // Wave.
  QGroupBox* GroupMusic = nullptr;
  WaveView* WaveView1 = nullptr;
  QLabel* PanelForTime = nullptr;
  QLabel* Panel9 = nullptr;
  QToolButton* BStopPlay = nullptr;
  QToolButton* BRunPlay = nullptr;
  QToolButton* BDelete = nullptr;
  QToolButton* BWaveZoomIn = nullptr;
  QToolButton* BWaveZoomOut = nullptr;
  QToolButton* BWaveShowAll = nullptr;
  QToolButton* BWaveLouder = nullptr;
  QToolButton* BWaveSofter = nullptr;
  QAction* ShowAllWave1 = nullptr;

  // Status bar.
  QLabel* Panel3 = nullptr;
  QLabel* Panel4 = nullptr;
  QLabel* Panel5 = nullptr;
  QWidget* moduleCounters_ = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
};

// What the player sees of the window.
class TFormANI::PlayerScreen : public preview::PlayerView {
 public:
  explicit PlayerScreen(TFormANI& window) : window_(window) {}
  void showFrame(std::optional<std::size_t> frame) override { window_.showPlayerFrame(frame); }
  void selectPicture(std::size_t frame) override { window_.selectPictureFromPlayer(frame); }
  void enableButtons(const preview::PlayerButtons& buttons) override { window_.enablePlayerButtons(buttons); }
  void log(const std::string& line) override { window_.log_.add(line); }

 private:
  TFormANI& window_;
};

}  // namespace delvix::app
