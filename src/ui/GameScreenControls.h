#pragma once
// The game screen's controls that the start, the impulses and the end of a game show, hide and
// read: looked up once, by the names the game screen gives them, as soon as the game screen and
// the artwork are made; from then on reached through these pointers.
#include <array>

class QComboBox;
class QLabel;
class QWidget;
class TCellImage;
class TColorButton;

struct TGameScreenControls {
  // The status bar's date of the game.
  QLabel* Date = nullptr;
  // The toolbar and its buttons that a game's kind shows or hides.
  QWidget* Toolbar = nullptr;
  TColorButton* News = nullptr;
  TColorButton* Research = nullptr;
  TColorButton* Diplomacy = nullptr;
  TColorButton* Formations = nullptr;
  TColorButton* Communicate = nullptr;
  TColorButton* Pause = nullptr;
  TColorButton* Surrender = nullptr;
  TColorButton* FastAIDuel = nullptr;
  TColorButton* FinalScore = nullptr;
  // The order controls' tabs.
  QWidget* Pages = nullptr;
  // The status bar's controls of the current nation: its flag, resources and score, the
  // nation chooser last.
  std::array<QWidget*, 6> NationControls{};
  QComboBox* CurrentNation = nullptr;
  // The toolbar's switches of the tool windows, in the order of SwitchNames.
  std::array<TColorButton*, 4> Switches{};
  // The artwork's flags of the scenario's nations, a cell each.
  TCellImage* Flags = nullptr;

  // The controls of the game screen Game and the flags of Artwork; a control that is missing
  // raises EBrenmoor (the screens are the program's own).
  static TGameScreenControls Find(const QWidget& Game, const QWidget& Artwork,
                                  const std::array<const char*, 4>& SwitchNames);
};
